#pragma once

#include <cstdint>

#include "sim/measure_config.h"

// How long the meter takes to measure. Microseconds throughout, so that
// sums over ten channels do not collect rounding.
namespace tq::sim {

// From trigger to reading: the trigger delay, the settling of the input
// (the AC filter dominates: about 1 s at 3 Hz, 0.27 s at 20 Hz, 40 ms at
// 200 Hz) and the integration (NPLC x 20 ms on 50 Hz mains) or gate time.
std::int64_t measurementMicros(const MeasureConfig& config, double triggerDelaySeconds);

// One channel of a scan: the scan timer paces the channels, but a channel
// never takes less than its measurement.
std::int64_t scanChannelMicros(const MeasureConfig& config, double triggerDelaySeconds,
                               double scanTimerSeconds);

// Seconds to whole microseconds, rounded; negative values count as 0.
std::int64_t toMicros(double seconds);

}  // namespace tq::sim
