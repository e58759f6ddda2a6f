#pragma once

#include <string_view>

#include "catalogue/catalogue.h"
#include "engine/run_context.h"

// The ranges and full scales as a run sets them.
namespace tq::run {

// Translates the row's range into the function's full scale as the run start
// does and returns the range value to send.
double translateForRun(RunContext& ctx, const catalogue::Function& function,
                       std::string_view range);

// The first valid Frequency or Period reading of a run fixes that
// function's full scale; the left axis is rewritten when it shows channel k.
void scaleFromFirstReading(RunContext& ctx, std::string_view function, int k, double reading);

}  // namespace tq::run
