#include "rules/math_channel.h"

#include <cmath>
#include <cstddef>
#include <string>

#include "common/number_text.h"
#include "rules/reading.h"

namespace tq {

std::optional<int> channelNumber(std::string_view name) {
    for (int n = 1; n <= 10; ++n) {
        if (name == "CH" + defaultText(n)) {
            return n;
        }
    }
    return std::nullopt;
}

std::optional<std::string> mathFormula(const MathSetup& setup, std::string_view factor,
                                       std::string_view offset) {
    constexpr std::string_view kSigns = "+-*/";
    if (!setup.complete() || setup.MathOperator > static_cast<int>(kSigns.size())) {
        return std::nullopt;
    }
    return "(CH" + defaultText(setup.MathChannelA) +
           kSigns[static_cast<std::size_t>(setup.MathOperator - 1)] + "CH" +
           defaultText(setup.MathChannelB) + ")*" + std::string(factor) + "+" + std::string(offset);
}

std::optional<int> mathOperator(std::string_view text) {
    for (std::size_t i = 0; i < kMathOperatorTexts.size(); ++i) {
        if (text == kMathOperatorTexts[i]) {
            return static_cast<int>(i) + 1;
        }
    }
    return std::nullopt;
}

void ReadMathSetup(MathSetup& setup, std::string_view firstChannel, std::string_view secondChannel,
                   std::string_view operatorText) {
    if (const auto n = channelNumber(firstChannel)) {
        setup.MathChannelA = static_cast<std::int16_t>(*n);
    }
    if (const auto n = channelNumber(secondChannel)) {
        setup.MathChannelB = static_cast<std::int16_t>(*n);
    }
    if (const auto op = mathOperator(operatorText)) {
        setup.MathOperator = static_cast<std::int16_t>(*op);
    }
}

std::optional<double> mathValue(int op, double a, double b, double K, double C) {
    if (isOverload(a) || isOverload(b)) {
        return std::nullopt;
    }
    double combined = 0;
    switch (op) {
        case 1:
            combined = a + b;
            break;
        case 2:
            combined = a - b;
            break;
        case 3:
            combined = a * b;
            break;
        case 4:
            combined = a / b;
            break;
        default:
            return std::nullopt;
    }
    const double result = combined * K + C;
    if (!std::isfinite(result)) {
        return std::nullopt;
    }
    return result;
}

std::optional<double> mathValue(const MathSetup& setup, std::span<const double> Reading, double K,
                                double C) {
    const auto a = static_cast<std::size_t>(setup.MathChannelA);
    const auto b = static_cast<std::size_t>(setup.MathChannelB);
    if (!setup.complete() || a >= Reading.size() || b >= Reading.size()) {
        return std::nullopt;
    }
    return mathValue(setup.MathOperator, Reading[a], Reading[b], K, C);
}

std::string mathText(double value) {
    return formatPicture(value, "#######0.0###");
}

}  // namespace tq
