#pragma once

#include <string_view>

#include "catalogue/run_mode.h"
#include "engine/run_context.h"
#include "store/record_store.h"

// Where the point in hand lives in the record, and its time stamp.
namespace tq::run {

// The row of the current point.
int currentRow(const RunContext& ctx);

// The point's row emptied, then its time, rounded through the picture.
void storePointTime(RunContext& ctx, std::string_view picture);

// The series a run of the mode fills and scrolls: a main-unit run keeps
// CH1, the math column and the time.
SeriesSet seriesOfRun(RunMode mode);

}  // namespace tq::run
