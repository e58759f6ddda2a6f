#pragma once

#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "engine/run_context.h"

// The run's command lines to the meter.
namespace tq::run {

// One line, kept in CmdLine as it goes.
void send(RunContext& ctx, std::string line);
// The lines with their pauses and yields.
void sendSteps(RunContext& ctx, const std::vector<catalogue::CommandStep>& steps);

}  // namespace tq::run
