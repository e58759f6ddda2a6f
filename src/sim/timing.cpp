#include "sim/timing.h"

#include <algorithm>
#include <cmath>

namespace tq::sim {

namespace {

constexpr double lineCycleSeconds = 0.020;

double acSettleSeconds(double band) {
    if (band <= 3) {
        return 1.0;
    }
    return band <= 20 ? 0.27 : 0.04;
}

double settleAndIntegrateSeconds(const MeasureConfig& config) {
    const double nplcSeconds = config.nplc[index(config.function)] * lineCycleSeconds;
    switch (config.function) {
        case Function::Dcv:
            return 0.001 + nplcSeconds;
        case Function::Acv:
            return acSettleSeconds(config.band);
        case Function::Frequency:
        case Function::Period:
            return acSettleSeconds(config.band) + config.aperture;
        case Function::Res2:
            return 0.002 + nplcSeconds;
        case Function::Res4:
            // The sense pair settles after the source pair.
            return 0.003 + nplcSeconds;
    }
    return 0;
}

}  // namespace

std::int64_t toMicros(double seconds) {
    if (!(seconds > 0)) {
        return 0;
    }
    return std::llround(seconds * 1e6);
}

std::int64_t measurementMicros(const MeasureConfig& config, double triggerDelaySeconds) {
    return toMicros(triggerDelaySeconds) + toMicros(settleAndIntegrateSeconds(config));
}

std::int64_t scanChannelMicros(const MeasureConfig& config, double triggerDelaySeconds,
                               double scanTimerSeconds) {
    return std::max(toMicros(scanTimerSeconds), measurementMicros(config, triggerDelaySeconds));
}

}  // namespace tq::sim
