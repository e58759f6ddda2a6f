#pragma once

#include <cstdint>

#include "sim/measure_config.h"

// The signals wired to the simulated meter. Plausible for each function,
// different on every channel (so traces can be told apart) and a pure
// function of seed, channel and time, so a run can be repeated exactly.
namespace tq::sim {

// The meter's overload reading.
inline constexpr double overloadReading = 9.9e37;

// Readings beyond this many times the range overload.
inline constexpr double overrangeFactor = 1.2;

// Channel 0 is the main input, 1..10 the scanner card's channels.
struct SignalPoint {
    int channel;
    double seconds;  // measurement time on the meter's clock
    std::uint64_t seed;
};

// The quantity at the input: volts (DCV, ACV rms), hertz, seconds (Period)
// or ohms.
double inputValue(Function function, const SignalPoint& point);

// What the meter reads for that input with the given set-up: the input
// value, or the overload reading when it is beyond 1.2 x the range in use
// (for Frequency and Period when the input voltage is).
double meterReading(const MeasureConfig& config, const SignalPoint& point);

}  // namespace tq::sim
