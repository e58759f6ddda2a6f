#pragma once

#include <cstdint>
#include <functional>

#include "catalogue/run_mode.h"
#include "engine/run_context.h"

// The loop of points both kinds of run share, and the steps between points.
namespace tq::run {

// Reads in a row that bring nothing before the meter is taken as gone.
inline constexpr int kSilentReadLimit = 10;

// Counts a read; true once kSilentReadLimit reads in a row were unusable.
bool meterSilent(RunContext& ctx, bool usable);

// The interval in whole milliseconds, halves to even; never negative.
std::int64_t intervalMs(double seconds);

// At the end of a point: once the screen is full and the run is not
// ending, the record moves one row. True when it moved.
bool advanceWindow(RunContext& ctx, std::int32_t PointIndex, RunMode mode);

// After the point is drawn: the end test, the hold while the pause toggle
// is released (the run toggle is not looked at during the hold), the
// interval, which a released run toggle cuts short; a run toggle released
// by then ends the run before another point is begun.
RunOutcome endOfPoint(RunContext& ctx);

// The point loop both modes share: for every point up to the record length
// (fixed when the loop starts), program it, acquire it, redraw, advance the
// window and take the end, pause and interval step.
RunOutcome pointLoop(RunContext& ctx, RunMode mode, const std::function<void()>& programPoint,
                     const std::function<RunOutcome()>& acquirePoint);

}  // namespace tq::run
