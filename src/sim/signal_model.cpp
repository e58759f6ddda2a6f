#include "sim/signal_model.h"

#include <array>
#include <cmath>
#include <numbers>

#include "sim/random.h"

namespace tq::sim {

namespace {

// Resistors on the inputs, one per channel (index 0: main input): common
// E-series values that all fit the default 1 Mohm range.
constexpr std::array<double, 11> resistors{4700, 4700,  1000,  10000, 2200, 47000,
                                           100,  330e3, 150e3, 68000, 820};
// Two-wire readings include the test leads.
constexpr double leadOhms = 0.4;

double seedPhase(std::uint64_t seed) {
    return 2 * std::numbers::pi * unitInterval(mix(seed));
}

// Symmetric noise in [-1, 1), fixed for seed, channel, function and the
// microsecond of the measurement.
double noise(Function function, const SignalPoint& point) {
    const auto micros = static_cast<std::uint64_t>(std::llround(point.seconds * 1e6));
    std::uint64_t h = mix(point.seed);
    h = mix(h ^ static_cast<std::uint64_t>(point.channel));
    h = mix(h ^ index(function));
    h = mix(h ^ micros);
    return 2 * unitInterval(h) - 1;
}

double acRms(const SignalPoint& point) {
    return 0.5 + 0.1 * point.channel;
}

double frequencyHz(const SignalPoint& point) {
    return 1000 * (1 + 0.05 * point.channel);
}

// The range the meter measures on: the set one, or under autorange the
// smallest that holds the value.
double rangeInUse(const MeasureConfig& config, Function function, double magnitude) {
    const std::size_t f = index(function);
    if (!config.autoRange[f]) {
        return config.range[f];
    }
    const auto ranges = functionInfo(function).ranges;
    for (double range : ranges) {
        if (magnitude <= range) {
            return range;
        }
    }
    return ranges.back();
}

bool overloads(const MeasureConfig& config, Function function, double magnitude) {
    return magnitude > overrangeFactor * rangeInUse(config, function, magnitude);
}

}  // namespace

double inputValue(Function function, const SignalPoint& point) {
    const double n = noise(function, point);
    const int ch = point.channel;
    switch (function) {
        case Function::Dcv: {
            // A slow sine, a different amplitude, period and phase per channel.
            const double amplitude = 2.5 + 0.25 * ch;
            const double periodSeconds = 40 + 5 * ch;
            const double phase = 0.6 * ch + seedPhase(point.seed);
            return amplitude *
                       std::sin(2 * std::numbers::pi * point.seconds / periodSeconds + phase) +
                   0.001 * amplitude * n;
        }
        case Function::Acv:
            return acRms(point) * (1 + 0.0005 * n);
        case Function::Frequency:
            return frequencyHz(point) * (1 + 2e-6 * n);
        case Function::Period:
            return 1 / (frequencyHz(point) * (1 + 2e-6 * n));
        case Function::Res2:
            return (resistors[static_cast<std::size_t>(ch)] + leadOhms) * (1 + 2e-5 * n);
        case Function::Res4:
            return resistors[static_cast<std::size_t>(ch)] * (1 + 2e-5 * n);
    }
    return 0;
}

double meterReading(const MeasureConfig& config, const SignalPoint& point) {
    const Function function = config.function;
    const double value = inputValue(function, point);
    const bool counter = function == Function::Frequency || function == Function::Period;
    // A counter's range is its input voltage range.
    const double magnitude = counter ? acRms(point) : std::fabs(value);
    return overloads(config, function, magnitude) ? overloadReading : value;
}

}  // namespace tq::sim
