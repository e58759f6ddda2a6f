#pragma once

#include "engine/run_context.h"
#include "engine/run_observer.h"

// A run from its start to its end, around the point loop of its mode.
namespace tq::run {

// Nothing of the last run but the record and the ranges survives; the rows
// the run fills are emptied; the set-up is what whoever starts the run
// knows of it (its mode among it), and the first point adds the rest.
void startRun(RunContext& ctx, RunSetup setup);

// The points of the set-up's mode, until the last, a stop or a silent meter.
RunOutcome runPoints(RunContext& ctx);

// The set-up is told if no point told it, then how the run ended.
void finishRun(RunContext& ctx, RunOutcome outcome);

}  // namespace tq::run
