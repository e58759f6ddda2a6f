#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

// What one input of the meter is set up to measure: the main input or one
// channel of the scanner card. Settings are kept per function, as the meter
// keeps them, so a range set for 2WR survives a switch to DCV and back.
namespace tq::sim {

enum class Function { Dcv, Acv, Frequency, Period, Res2, Res4 };
inline constexpr std::size_t functionCount = 6;

constexpr std::size_t index(Function function) {
    return static_cast<std::size_t>(function);
}

struct FunctionInfo {
    Function function;
    std::string_view pattern;        // the function's name in SCPI notation ("VOLTage:AC")
    std::string_view word;           // its short name in replies ("VOLT:AC")
    std::span<const double> ranges;  // volts (input voltage for Frequency and Period) or ohms
};

const FunctionInfo& functionInfo(Function function);

// The function a quoted name stands for: "VOLT:AC", "volt", "Frequency",
// "FRES", ...; nullopt for names the meter does not know.
std::optional<Function> functionFromName(std::string_view name);

struct MeasureConfig {
    Function function = Function::Dcv;
    std::array<double, functionCount> range{10, 10, 10, 10, 1000000, 1000000};
    std::array<bool, functionCount> autoRange{true, true, true, true, true, true};
    double band = 20;       // lower edge of the AC filter in Hz: 3, 20 or 200
    double aperture = 0.1;  // gate time of Frequency and Period in s, shared by both
    std::array<double, functionCount> nplc{1, 1, 1, 1, 1, 1};  // DCV, 2WR and 4WR only
};

// The range a set value selects: the smallest range that holds it; nullopt
// when it is above the top range or negative.
std::optional<double> selectRange(Function function, double value);

// The AC filter a bandwidth value selects (the slowest filter that passes
// the signal's lowest frequency); nullopt outside 3 Hz .. 300 kHz.
std::optional<double> selectBand(double hertz);

// Gate times 1 ms, 10 ms, 100 ms, 1 s: a value selects the next one up.
std::optional<double> selectAperture(double seconds);

// Integration times 0.02, 0.2, 1, 10, 100 power-line cycles, the next one up.
std::optional<double> selectNplc(double cycles);

}  // namespace tq::sim
