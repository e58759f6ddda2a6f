#include <array>
#include <string>

#include "sim/command.h"
#include "sim/scpi_header.h"

namespace tq::sim {

namespace param {

namespace {

bool wordIs(const scpi::Param& param, std::string_view pattern) {
    return param.kind == scpi::ParamKind::Word && scpi::headerMatches(pattern, {param.text});
}

}  // namespace

bool count(const Context& ctx, std::size_t min, std::size_t max) {
    if (ctx.params.size() < min) {
        ctx.fail(error::missingParameter);
        return false;
    }
    if (ctx.params.size() > max) {
        ctx.fail(error::parameterNotAllowed);
        return false;
    }
    return true;
}

std::optional<double> numeric(const Context& ctx, std::size_t i, Limits limits) {
    const scpi::Param& param = ctx.params.at(i);
    if (param.kind == scpi::ParamKind::Word) {
        if (wordIs(param, "MINimum")) {
            return limits.min;
        }
        if (wordIs(param, "MAXimum")) {
            return limits.max;
        }
        if (wordIs(param, "DEFault")) {
            return limits.def;
        }
        ctx.fail(error::illegalParameterValue);
        return std::nullopt;
    }
    if (param.kind != scpi::ParamKind::Number) {
        ctx.fail(error::dataType);
        return std::nullopt;
    }
    if (param.number < limits.min || param.number > limits.max) {
        ctx.fail(error::dataOutOfRange);
        return std::nullopt;
    }
    return param.number;
}

std::optional<bool> boolean(const Context& ctx, std::size_t i) {
    const scpi::Param& param = ctx.params.at(i);
    if (param.kind == scpi::ParamKind::Number && (param.number == 0 || param.number == 1)) {
        return param.number == 1;
    }
    if (wordIs(param, "ON")) {
        return true;
    }
    if (wordIs(param, "OFF")) {
        return false;
    }
    ctx.fail(param.kind == scpi::ParamKind::String ? error::dataType
                                                   : error::illegalParameterValue);
    return std::nullopt;
}

std::optional<std::size_t> choice(const Context& ctx, std::size_t i,
                                  std::span<const std::string_view> choices) {
    const scpi::Param& param = ctx.params.at(i);
    if (param.kind != scpi::ParamKind::Word) {
        ctx.fail(error::dataType);
        return std::nullopt;
    }
    for (std::size_t k = 0; k < choices.size(); ++k) {
        if (wordIs(param, choices[k])) {
            return k;
        }
    }
    ctx.fail(error::illegalParameterValue);
    return std::nullopt;
}

std::optional<RangeChoice> range(const Context& ctx, std::size_t i, Function function,
                                 double current) {
    const scpi::Param& value = ctx.params.at(i);
    if (value.kind == scpi::ParamKind::Number) {
        const auto selected = selectRange(function, value.number);
        if (!selected) {
            ctx.fail(error::dataOutOfRange);
            return std::nullopt;
        }
        return RangeChoice{.range = *selected, .autoRange = false};
    }
    static constexpr std::array<std::string_view, 4> keywords{"MINimum", "MAXimum", "DEFault",
                                                              "AUTO"};
    const auto keyword = choice(ctx, i, keywords);
    if (!keyword) {
        return std::nullopt;
    }
    const auto ranges = functionInfo(function).ranges;
    switch (*keyword) {
        case 0:
            return RangeChoice{.range = ranges.front(), .autoRange = false};
        case 1:
            return RangeChoice{.range = ranges.back(), .autoRange = false};
        default:
            return RangeChoice{.range = current, .autoRange = true};
    }
}

}  // namespace param

std::string integerReply(long long value) {
    return std::to_string(value);
}

std::string quotedReply(std::string_view text) {
    std::string reply = "\"";
    for (char c : text) {
        reply += c;
        if (c == '"') {
            reply += '"';
        }
    }
    reply += '"';
    return reply;
}

}  // namespace tq::sim
