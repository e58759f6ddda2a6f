#include <array>

#include "sim/command.h"

// IEEE 488.2 common commands and the SYSTem subsystem.
namespace tq::sim {

namespace {

void reset(const Context& ctx) {
    if (param::count(ctx, 0, 0)) {
        ctx.state.reset();
    }
}

void clearStatus(const Context& ctx) {
    if (param::count(ctx, 0, 0)) {
        ctx.state.errors.clear();
    }
}

void identify(const Context& ctx) {
    if (param::count(ctx, 0, 0)) {
        ctx.answer(ctx.options.identity);
    }
}

// Commands run in order, so every operation is complete once parsed.
void operationComplete(const Context& ctx) {
    (void)param::count(ctx, 0, 0);
}

void operationCompleteQuery(const Context& ctx) {
    if (param::count(ctx, 0, 0)) {
        ctx.answer("1");
    }
}

void selfTest(const Context& ctx) {
    if (param::count(ctx, 0, 0)) {
        ctx.answer("+0");
    }
}

void nextError(const Context& ctx) {
    if (param::count(ctx, 0, 0)) {
        ctx.answer(errorReply(ctx.state.errors.pop()));
    }
}

void errorCount(const Context& ctx) {
    if (param::count(ctx, 0, 0)) {
        ctx.answer(integerReply(static_cast<long long>(ctx.state.errors.size())));
    }
}

void local(const Context& ctx) {
    if (param::count(ctx, 0, 0)) {
        ctx.state.remote = false;
    }
}

void remote(const Context& ctx) {
    if (param::count(ctx, 0, 0)) {
        ctx.state.remote = true;
    }
}

void version(const Context& ctx) {
    if (param::count(ctx, 0, 0)) {
        ctx.answer("1999.0");  // the SCPI version the command set follows
    }
}

const std::array commands{
    Command{.pattern = "*RST", .set = reset},
    Command{.pattern = "*CLS", .set = clearStatus},
    Command{.pattern = "*IDN", .query = identify},
    Command{.pattern = "*OPC", .set = operationComplete, .query = operationCompleteQuery},
    Command{.pattern = "*WAI", .set = operationComplete},
    Command{.pattern = "*TST", .query = selfTest},
    Command{.pattern = "SYSTem:ERRor[:NEXT]", .query = nextError},
    Command{.pattern = "SYSTem:ERRor:COUNt", .query = errorCount},
    Command{.pattern = "SYSTem:LOCal", .set = local},
    Command{.pattern = "SYSTem:REMote", .set = remote},
    Command{.pattern = "SYSTem:VERSion", .query = version},
};

}  // namespace

std::span<const Command> systemCommands() {
    return commands;
}

}  // namespace tq::sim
