#include "sim/meter_state.h"

#include <algorithm>

namespace tq::sim {

int ScanRun::done(std::int64_t nowMs) const {
    const std::int64_t elapsedMicros = (nowMs - startMs) * 1000;
    return static_cast<int>(std::count_if(channelEndMicros.begin(), channelEndMicros.end(),
                                          [&](std::int64_t end) { return end <= elapsedMicros; }));
}

bool ScanRun::running(std::int64_t nowMs) const {
    return done(nowMs) < static_cast<int>(channelEndMicros.size());
}

MeasureConfig& MeterState::targetConfig() {
    const int target = settings.target;
    if (target >= 1 && target <= scanChannelCount) {
        return settings.channels[static_cast<std::size_t>(target - 1)];
    }
    return settings.main;
}

void MeterState::reset() {
    settings = Settings{};
    scan.reset();
    data.reset();
}

}  // namespace tq::sim
