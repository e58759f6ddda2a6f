#include <array>

#include "sim/command.h"
#include "sim/reading_format.h"

// SENSe subsystem: range, autorange, integration, gate time and AC filter
// of the input being programmed (the main input or the card channel named
// last, see Settings::target).
namespace tq::sim {

namespace {

void setRange(const Context& ctx) {
    if (!param::count(ctx, 1, 1)) {
        return;
    }
    MeasureConfig& config = ctx.state.targetConfig();
    const std::size_t f = index(ctx.function);
    if (const auto chosen = param::range(ctx, 0, ctx.function, config.range[f])) {
        config.range[f] = chosen->range;
        config.autoRange[f] = chosen->autoRange;
    }
}

void queryRange(const Context& ctx) {
    if (param::count(ctx, 0, 0)) {
        ctx.answer(formatReading(ctx.state.targetConfig().range[index(ctx.function)]));
    }
}

void setAutoRange(const Context& ctx) {
    if (!param::count(ctx, 1, 1)) {
        return;
    }
    if (const auto on = param::boolean(ctx, 0)) {
        ctx.state.targetConfig().autoRange[index(ctx.function)] = *on;
    }
}

void queryAutoRange(const Context& ctx) {
    if (param::count(ctx, 0, 0)) {
        ctx.answer(ctx.state.targetConfig().autoRange[index(ctx.function)] ? "1" : "0");
    }
}

void setNplc(const Context& ctx) {
    if (!param::count(ctx, 1, 1)) {
        return;
    }
    const auto cycles = param::numeric(ctx, 0, {.min = 0.02, .max = 100, .def = 1});
    if (cycles) {
        // Within the limits a step up always exists.
        ctx.state.targetConfig().nplc[index(ctx.function)] = selectNplc(*cycles).value_or(100);
    }
}

void queryNplc(const Context& ctx) {
    if (param::count(ctx, 0, 0)) {
        ctx.answer(formatReading(ctx.state.targetConfig().nplc[index(ctx.function)]));
    }
}

void setAperture(const Context& ctx) {
    if (!param::count(ctx, 1, 1)) {
        return;
    }
    const auto seconds = param::numeric(ctx, 0, {.min = 0.001, .max = 1, .def = 0.1});
    if (seconds) {
        ctx.state.targetConfig().aperture = selectAperture(*seconds).value_or(1);
    }
}

void queryAperture(const Context& ctx) {
    if (param::count(ctx, 0, 0)) {
        ctx.answer(formatReading(ctx.state.targetConfig().aperture));
    }
}

void setBand(const Context& ctx) {
    if (!param::count(ctx, 1, 1)) {
        return;
    }
    const auto hertz = param::numeric(ctx, 0, {.min = 3, .max = 300e3, .def = 20});
    if (hertz) {
        ctx.state.targetConfig().band = selectBand(*hertz).value_or(200);
    }
}

void queryBand(const Context& ctx) {
    if (param::count(ctx, 0, 0)) {
        ctx.answer(formatReading(ctx.state.targetConfig().band));
    }
}

const std::array commands{
    Command{.pattern = "[SENSe:]VOLTage[:DC]:RANGe[:UPPer]",
            .set = setRange,
            .query = queryRange,
            .function = Function::Dcv},
    Command{.pattern = "[SENSe:]VOLTage[:DC]:RANGe:AUTO",
            .set = setAutoRange,
            .query = queryAutoRange,
            .function = Function::Dcv},
    Command{.pattern = "[SENSe:]VOLTage[:DC]:NPLCycles",
            .set = setNplc,
            .query = queryNplc,
            .function = Function::Dcv},
    Command{.pattern = "[SENSe:]VOLTage:AC:RANGe[:UPPer]",
            .set = setRange,
            .query = queryRange,
            .function = Function::Acv},
    Command{.pattern = "[SENSe:]VOLTage:AC:RANGe:AUTO",
            .set = setAutoRange,
            .query = queryAutoRange,
            .function = Function::Acv},
    // The counters' range is that of their input voltage.
    Command{.pattern = "[SENSe:]FREQuency:VOLTage:RANGe[:UPPer]",
            .set = setRange,
            .query = queryRange,
            .function = Function::Frequency},
    Command{.pattern = "[SENSe:]FREQuency:VOLTage:RANGe:AUTO",
            .set = setAutoRange,
            .query = queryAutoRange,
            .function = Function::Frequency},
    Command{.pattern = "[SENSe:]PERiod:VOLTage:RANGe[:UPPer]",
            .set = setRange,
            .query = queryRange,
            .function = Function::Period},
    Command{.pattern = "[SENSe:]PERiod:VOLTage:RANGe:AUTO",
            .set = setAutoRange,
            .query = queryAutoRange,
            .function = Function::Period},
    // One gate time serves both counter functions.
    Command{.pattern = "[SENSe:]FREQuency:APERture",
            .set = setAperture,
            .query = queryAperture,
            .function = Function::Frequency},
    Command{.pattern = "[SENSe:]PERiod:APERture",
            .set = setAperture,
            .query = queryAperture,
            .function = Function::Period},
    Command{.pattern = "[SENSe:]RESistance:RANGe[:UPPer]",
            .set = setRange,
            .query = queryRange,
            .function = Function::Res2},
    Command{.pattern = "[SENSe:]RESistance:RANGe:AUTO",
            .set = setAutoRange,
            .query = queryAutoRange,
            .function = Function::Res2},
    Command{.pattern = "[SENSe:]RESistance:NPLCycles",
            .set = setNplc,
            .query = queryNplc,
            .function = Function::Res2},
    Command{.pattern = "[SENSe:]FRESistance:RANGe[:UPPer]",
            .set = setRange,
            .query = queryRange,
            .function = Function::Res4},
    Command{.pattern = "[SENSe:]FRESistance:RANGe:AUTO",
            .set = setAutoRange,
            .query = queryAutoRange,
            .function = Function::Res4},
    Command{.pattern = "[SENSe:]FRESistance:NPLCycles",
            .set = setNplc,
            .query = queryNplc,
            .function = Function::Res4},
    Command{.pattern = "[SENSe:]DETector:BANDwidth", .set = setBand, .query = queryBand},
};

}  // namespace

std::span<const Command> senseCommands() {
    return commands;
}

}  // namespace tq::sim
