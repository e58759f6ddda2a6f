#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// The math channel: two channels' latest readings combined by one of four
// operators, then scaled by a factor and moved by an offset.
namespace tq {

// Operator texts in the order of their numbers 1 .. 4: add, subtract,
// multiply, divide.
inline constexpr std::array<std::string_view, 4> kMathOperatorTexts{"加", "減", "乘", "除"};

struct MathSetup {
    std::int16_t MathChannelA = 0;  // 1 .. 10; 0 until chosen
    std::int16_t MathChannelB = 0;
    std::int16_t MathOperator = 0;  // 1 .. 4; 0 until chosen
    bool complete() const { return MathChannelA != 0 && MathChannelB != 0 && MathOperator != 0; }
};

// "CH1" .. "CH10" -> 1 .. 10; none for any other text.
std::optional<int> channelNumber(std::string_view name);
// "加" .. "除" -> 1 .. 4; none for any other text.
std::optional<int> mathOperator(std::string_view text);

// Takes the choices of the two channel boxes and the operator box; a text
// that names no channel or operator (empty included) keeps the earlier choice.
void ReadMathSetup(MathSetup& setup, std::string_view firstChannel, std::string_view secondChannel,
                   std::string_view operatorText);

// (a op b) x K + C; none when an operand is an overload or the result is not
// a finite number (division by 0, an enormous factor), so the point keeps the
// previous math value and stores none.
std::optional<double> mathValue(int op, double a, double b, double K, double C);
// The same with the operands taken from the latest readings by channel
// number; none while the set-up is incomplete.
std::optional<double> mathValue(const MathSetup& setup, std::span<const double> Reading, double K,
                                double C);

// The formula in plain signs, "(CH1-CH2)*K+C" with the factor and offset
// texts given; none while the set-up is incomplete.
std::optional<std::string> mathFormula(const MathSetup& setup, std::string_view factor,
                                       std::string_view offset);

// The result box text: at least one decimal, at most four.
std::string mathText(double value);

}  // namespace tq
