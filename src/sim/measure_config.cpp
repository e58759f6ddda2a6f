#include "sim/measure_config.h"

#include <string>
#include <vector>

#include "sim/scpi_header.h"

namespace tq::sim {

namespace {

constexpr std::array<double, 5> dcvRanges{0.1, 1, 10, 100, 1000};
// AC inputs stop at 750 V rms; Frequency and Period use the same input.
constexpr std::array<double, 5> acvRanges{0.1, 1, 10, 100, 750};
constexpr std::array<double, 7> ohmRanges{100, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8};
constexpr std::array<double, 4> apertures{0.001, 0.01, 0.1, 1};
constexpr std::array<double, 5> nplcSteps{0.02, 0.2, 1, 10, 100};

// Set values a hair above a step (a text such as "0.1" parsed to binary)
// still select that step.
constexpr double tolerance = 1e-9;

const std::array<FunctionInfo, functionCount> functionTable{{
    {.function = Function::Dcv, .pattern = "VOLTage[:DC]", .word = "VOLT:DC", .ranges = dcvRanges},
    {.function = Function::Acv, .pattern = "VOLTage:AC", .word = "VOLT:AC", .ranges = acvRanges},
    {.function = Function::Frequency, .pattern = "FREQuency", .word = "FREQ", .ranges = acvRanges},
    {.function = Function::Period, .pattern = "PERiod", .word = "PER", .ranges = acvRanges},
    {.function = Function::Res2, .pattern = "RESistance", .word = "RES", .ranges = ohmRanges},
    {.function = Function::Res4, .pattern = "FRESistance", .word = "FRES", .ranges = ohmRanges},
}};

std::optional<double> nextStepUp(std::span<const double> steps, double value) {
    for (double step : steps) {
        if (value <= step * (1 + tolerance)) {
            return step;
        }
    }
    return std::nullopt;
}

}  // namespace

const FunctionInfo& functionInfo(Function function) {
    return functionTable[index(function)];
}

std::optional<Function> functionFromName(std::string_view name) {
    std::vector<std::string> nodes;
    std::size_t start = 0;
    while (true) {
        const std::size_t colon = name.find(':', start);
        nodes.emplace_back(name.substr(start, colon - start));
        if (colon == std::string_view::npos) {
            break;
        }
        start = colon + 1;
    }
    for (const FunctionInfo& info : functionTable) {
        if (scpi::headerMatches(info.pattern, nodes)) {
            return info.function;
        }
    }
    return std::nullopt;
}

std::optional<double> selectRange(Function function, double value) {
    if (value < 0) {
        return std::nullopt;
    }
    return nextStepUp(functionInfo(function).ranges, value);
}

std::optional<double> selectBand(double hertz) {
    if (hertz < 3 || hertz > 300e3) {
        return std::nullopt;
    }
    if (hertz < 20) {
        return 3;
    }
    return hertz < 200 ? 20 : 200;
}

std::optional<double> selectAperture(double seconds) {
    if (seconds <= 0) {
        return std::nullopt;
    }
    return nextStepUp(apertures, seconds);
}

std::optional<double> selectNplc(double cycles) {
    if (cycles <= 0) {
        return std::nullopt;
    }
    return nextStepUp(nplcSteps, cycles);
}

}  // namespace tq::sim
