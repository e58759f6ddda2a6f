#pragma once

#include <cstdint>
#include <optional>

#include "engine/run_context.h"
#include "engine/run_observer.h"

// What a run tells its observers, in the words of the run's own steps.
namespace tq::run {

// A read whose status failed: timed out or any other link error.
void reportFailedRead(RunContext& ctx, std::int32_t visaStatus);
// A read that came back, but without a reading in it.
void reportNoNumber(RunContext& ctx);

// The first point notes each channel of the run as it programs it, with
// the range value it sent (none where it sent none).
void noteSetupChannel(RunContext& ctx, int row, std::optional<double> sentRange);
// The set-up, once per run: after the first point programmed the meter, or
// at the end of a run that took none.
void reportSetupOnce(RunContext& ctx);

// The point's row read back from the store.
StoredPoint storedPoint(const RunContext& ctx, int row);

// How a run that ended with `outcome` is told; a meter gone silent whose
// latest failed read lost the connection is told as such.
RunEnd runEndOf(RunOutcome outcome, bool lastFailureLostLink);

}  // namespace tq::run
