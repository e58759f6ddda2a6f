#include <array>
#include <cmath>

#include "sim/command.h"
#include "sim/reading_format.h"
#include "sim/signal_model.h"
#include "sim/timing.h"

// The scanner card: ROUTe subsystem.
namespace tq::sim {

namespace {

// The card switches 4-wire pairs n and n + 5.
constexpr int lastFourWireChannel = scanChannelCount / 2;

constexpr param::Limits channelLimits{.min = 1, .max = scanChannelCount, .def = 1};
constexpr param::Limits timerLimits{.min = 0, .max = 3600, .def = 0};

std::optional<int> channelParam(const Context& ctx) {
    const auto channel = param::numeric(ctx, 0, channelLimits);
    if (!channel) {
        return std::nullopt;
    }
    if (*channel != std::floor(*channel)) {
        ctx.fail(error::illegalParameterValue);
        return std::nullopt;
    }
    return static_cast<int>(*channel);
}

void cardState(const Context& ctx) {
    if (param::count(ctx, 0, 0)) {
        ctx.answer(ctx.options.card ? "1" : "0");
    }
}

void setCount(const Context& ctx) {
    if (!param::count(ctx, 1, 1)) {
        return;
    }
    if (const auto count = param::numeric(ctx, 0, channelLimits)) {
        ctx.state.settings.scanCount = static_cast<int>(std::lround(*count));
    }
}

void queryCount(const Context& ctx) {
    if (param::count(ctx, 0, 0)) {
        ctx.answer(integerReply(ctx.state.settings.scanCount));
    }
}

void setTimer(const Context& ctx) {
    if (!param::count(ctx, 1, 1)) {
        return;
    }
    if (const auto seconds = param::numeric(ctx, 0, timerLimits)) {
        ctx.state.settings.scanTimer = *seconds;
    }
}

void queryTimer(const Context& ctx) {
    if (param::count(ctx, 0, 0)) {
        ctx.answer(formatReading(ctx.state.settings.scanTimer));
    }
}

void setChannelFunction(const Context& ctx) {
    if (!param::count(ctx, 2, 2)) {
        return;
    }
    const auto channel = channelParam(ctx);
    if (!channel) {
        return;
    }
    const scpi::Param& name = ctx.params[1];
    if (name.kind != scpi::ParamKind::String) {
        ctx.fail(error::dataType);
        return;
    }
    const auto function = functionFromName(name.text);
    if (!function) {
        ctx.fail(error::illegalParameterValue);
        return;
    }
    if (*function == Function::Res4 && *channel > lastFourWireChannel) {
        ctx.fail(error::settingsConflict);
        return;
    }
    Settings& settings = ctx.state.settings;
    settings.channels[static_cast<std::size_t>(*channel - 1)].function = *function;
    settings.target = *channel;
}

void queryChannelFunction(const Context& ctx) {
    if (!param::count(ctx, 1, 1)) {
        return;
    }
    if (const auto channel = channelParam(ctx)) {
        const Settings& settings = ctx.state.settings;
        const Function function =
            settings.channels[static_cast<std::size_t>(*channel - 1)].function;
        ctx.answer(quotedReply(functionInfo(function).word));
    }
}

// One scan of channels 1..count: each channel measured in turn with its
// own set-up, paced by the scan timer. The readings are fixed now, at the
// times the channels will be measured, and available when the last ends.
void step(const Context& ctx) {
    if (!param::count(ctx, 0, 0)) {
        return;
    }
    MeterState& state = ctx.state;
    if (state.scan && state.scan->running(ctx.nowMs)) {
        ctx.fail(error::initIgnored);
        return;
    }
    const Settings& settings = state.settings;
    ScanRun run{.startMs = ctx.nowMs, .channelEndMicros = {}};
    Measurement data;
    std::int64_t elapsed = 0;
    for (int channel = 1; channel <= settings.scanCount; ++channel) {
        const MeasureConfig& config = settings.channels[static_cast<std::size_t>(channel - 1)];
        elapsed += scanChannelMicros(config, settings.triggerDelay, settings.scanTimer);
        run.channelEndMicros.push_back(elapsed);
        const double seconds =
            static_cast<double>(ctx.nowMs) / 1e3 + static_cast<double>(elapsed) / 1e6;
        data.readings.push_back(meterReading(
            config, {.channel = channel, .seconds = seconds, .seed = ctx.options.seed}));
    }
    data.readyMs = ctx.nowMs + (elapsed + 999) / 1000;
    state.scan = std::move(run);
    state.data = std::move(data);
}

void scanState(const Context& ctx) {
    if (param::count(ctx, 0, 0)) {
        const MeterState& state = ctx.state;
        ctx.answer(integerReply(state.scan ? state.scan->done(ctx.nowMs) : 0));
    }
}

const std::array commands{
    Command{.pattern = "ROUTe:STATe", .query = cardState},
    Command{.pattern = "ROUTe:SCAN:COUNt", .set = setCount, .query = queryCount, .needsCard = true},
    Command{.pattern = "ROUTe:SCAN:TIMEr", .set = setTimer, .query = queryTimer, .needsCard = true},
    Command{.pattern = "ROUTe:SCAN:FUNCtion",
            .set = setChannelFunction,
            .query = queryChannelFunction,
            .needsCard = true},
    Command{.pattern = "ROUTe:SCAN:STEP", .set = step, .needsCard = true},
    Command{.pattern = "ROUTe:SCAN:STATe", .query = scanState, .needsCard = true},
};

}  // namespace

std::span<const Command> scanCommands() {
    return commands;
}

}  // namespace tq::sim
