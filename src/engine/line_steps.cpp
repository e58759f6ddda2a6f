#include "engine/line_steps.h"

#include <utility>

#include "common/clock.h"
#include "engine/meter_link.h"
#include "engine/run_state.h"

namespace tq::run {

void send(RunContext& ctx, std::string line) {
    ctx.state.CmdLine = std::move(line);
    ctx.link.writeLine(ctx.state.CmdLine);
}

void sendSteps(RunContext& ctx, const std::vector<catalogue::CommandStep>& steps) {
    for (const catalogue::CommandStep& step : steps) {
        send(ctx, step.line);
        if (step.pauseAfterMs > 0) {
            ctx.clock.pause(step.pauseAfterMs);
        }
        if (step.yieldAfter) {
            ctx.clock.yield();
        }
    }
}

}  // namespace tq::run
