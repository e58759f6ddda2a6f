#include <algorithm>
#include <array>

#include "sim/command.h"
#include "sim/reading_format.h"
#include "sim/signal_model.h"
#include "sim/timing.h"

// The main input: TRIGger, CONFigure, MEASure, INITiate, READ? and FETCh?.
namespace tq::sim {

namespace {

constexpr std::array<std::string_view, 3> sourceWords{"IMMediate", "BUS", "EXTernal"};

void setDelay(const Context& ctx) {
    if (!param::count(ctx, 1, 1)) {
        return;
    }
    if (const auto seconds = param::numeric(ctx, 0, {.min = 0, .max = 3600, .def = 0})) {
        ctx.state.settings.triggerDelay = *seconds;
    }
}

void queryDelay(const Context& ctx) {
    if (param::count(ctx, 0, 0)) {
        ctx.answer(formatReading(ctx.state.settings.triggerDelay));
    }
}

void setSource(const Context& ctx) {
    if (!param::count(ctx, 1, 1)) {
        return;
    }
    if (const auto source = param::choice(ctx, 0, sourceWords)) {
        ctx.state.settings.triggerSource = static_cast<TriggerSource>(*source);
    }
}

void querySource(const Context& ctx) {
    if (param::count(ctx, 0, 0)) {
        static constexpr std::array<std::string_view, 3> shortWords{"IMM", "BUS", "EXT"};
        ctx.answer(
            std::string(shortWords[static_cast<std::size_t>(ctx.state.settings.triggerSource)]));
    }
}

// CONFigure:<function> [<range>|AUTO|MIN|MAX|DEF[,<resolution>]]: the main
// input on that function. The counters' input voltage always goes to
// autorange.
bool configure(const Context& ctx) {
    if (!param::count(ctx, 0, 2)) {
        return false;
    }
    Settings& settings = ctx.state.settings;
    MeasureConfig& config = settings.main;
    const std::size_t f = index(ctx.function);
    const bool counter = ctx.function == Function::Frequency || ctx.function == Function::Period;
    param::RangeChoice chosen{.range = config.range[f], .autoRange = true};
    if (!ctx.params.empty()) {
        const scpi::Param& value = ctx.params[0];
        if (counter && value.kind == scpi::ParamKind::Number) {
            // A counter's first parameter is the expected frequency or
            // period, which it does not need.
            if (value.number < 0) {
                ctx.fail(error::dataOutOfRange);
                return false;
            }
        } else {
            const auto range = param::range(ctx, 0, ctx.function, config.range[f]);
            if (!range) {
                return false;
            }
            chosen = counter ? chosen : *range;
        }
    }
    const double top = functionInfo(ctx.function).ranges.back();
    if (ctx.params.size() == 2 && !param::numeric(ctx, 1, {.min = 0, .max = top, .def = 0})) {
        return false;
    }
    config.function = ctx.function;
    config.range[f] = chosen.range;
    config.autoRange[f] = chosen.autoRange;
    settings.target = 0;
    return true;
}

void configureCommand(const Context& ctx) {
    (void)configure(ctx);
}

void queryConfiguration(const Context& ctx) {
    if (param::count(ctx, 0, 0)) {
        const MeasureConfig& config = ctx.state.settings.main;
        const std::string text = std::string(functionInfo(config.function).word) + " " +
                                 formatReading(config.range[index(config.function)]);
        ctx.answer(quotedReply(text));
    }
}

// One reading of the main input, taken after the measurement before it.
// false when the trigger cannot come.
bool measure(const Context& ctx) {
    MeterState& state = ctx.state;
    const Settings& settings = state.settings;
    if (settings.triggerSource != TriggerSource::Immediate) {
        // Nothing will send the bus or external trigger while the meter
        // waits for this reading.
        ctx.fail(error::triggerDeadlock);
        return false;
    }
    const std::int64_t startMs = state.data ? std::max(ctx.nowMs, state.data->readyMs) : ctx.nowMs;
    const std::int64_t micros = measurementMicros(settings.main, settings.triggerDelay);
    const std::int64_t readyMs = startMs + (micros + 999) / 1000;
    const double seconds = static_cast<double>(startMs) / 1e3 + static_cast<double>(micros) / 1e6;
    const double value =
        meterReading(settings.main, {.channel = 0, .seconds = seconds, .seed = ctx.options.seed});
    state.data = Measurement{.readings = {value}, .readyMs = readyMs};
    return true;
}

void answerData(const Context& ctx) {
    const Measurement& data = *ctx.state.data;
    ctx.answer(formatReadings(data.readings));
    ctx.reply.readyMs = std::max(ctx.reply.readyMs, data.readyMs);
    ctx.reply.fetchFields = data.readings.size();
}

void initiate(const Context& ctx) {
    if (param::count(ctx, 0, 0)) {
        (void)measure(ctx);
    }
}

void read(const Context& ctx) {
    if (param::count(ctx, 0, 0) && measure(ctx)) {
        answerData(ctx);
    }
}

void measureQuery(const Context& ctx) {
    if (configure(ctx) && measure(ctx)) {
        answerData(ctx);
    }
}

// The readings of the latest scan or main-input measurement; while it is
// still running the answer waits for its end.
void fetch(const Context& ctx) {
    if (!param::count(ctx, 0, 0)) {
        return;
    }
    if (!ctx.state.data) {
        ctx.fail(error::dataStale);
        return;
    }
    answerData(ctx);
}

Command configureRow(std::string_view pattern, Function function) {
    return {.pattern = pattern, .set = configureCommand, .function = function};
}

Command measureRow(std::string_view pattern, Function function) {
    return {.pattern = pattern, .query = measureQuery, .function = function};
}

const std::array commands{
    Command{.pattern = "TRIGger:DELay", .set = setDelay, .query = queryDelay},
    Command{.pattern = "TRIGger:SOURce", .set = setSource, .query = querySource},
    configureRow("CONFigure:VOLTage[:DC]", Function::Dcv),
    configureRow("CONFigure:VOLTage:AC", Function::Acv),
    configureRow("CONFigure:FREQuency", Function::Frequency),
    configureRow("CONFigure:PERiod", Function::Period),
    configureRow("CONFigure:RESistance", Function::Res2),
    configureRow("CONFigure:FRESistance", Function::Res4),
    Command{.pattern = "CONFigure", .query = queryConfiguration},
    measureRow("MEASure:VOLTage[:DC]", Function::Dcv),
    measureRow("MEASure:VOLTage:AC", Function::Acv),
    measureRow("MEASure:FREQuency", Function::Frequency),
    measureRow("MEASure:PERiod", Function::Period),
    measureRow("MEASure:RESistance", Function::Res2),
    measureRow("MEASure:FRESistance", Function::Res4),
    Command{.pattern = "INITiate[:IMMediate]", .set = initiate},
    Command{.pattern = "READ", .query = read},
    Command{.pattern = "FETCh", .query = fetch},
};

}  // namespace

std::span<const Command> measureCommands() {
    return commands;
}

}  // namespace tq::sim
