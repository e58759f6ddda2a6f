#pragma once

#include <optional>
#include <string>

#include "engine/run_context.h"

// The math channel of a scan-card run.
namespace tq::run {

// The formula the run computes, e.g. "(CH1-CH2)*1+0"; none while the math
// channel is off or its choices are incomplete.
std::optional<std::string> mathFormulaOf(const RunInputs& inputs);

// Once per scan-card point, after the channels are stored in `row`: forms
// Reading[11], shows it, scales the right axis with the run's first value
// and stores it in the math column.
void mathStep(RunContext& ctx, int row);

}  // namespace tq::run
