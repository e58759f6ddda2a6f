#include "status/run_progress.h"

#include <algorithm>
#include <numeric>

#include "common/clock.h"

namespace tq::status {

void RunProgress::runStarted(const RunSetup& setup) {
    setup_ = setup;
    end_.reset();
    stored_ = 0;
    slowestMs_.reset();
    missing_.fill(0);
    failures_.fill(0);
    lastFailureStatus_ = 0;
    started_ = true;
    startMs_ = clock_.tickMs();
    lastStoredMs_ = startMs_;
}

void RunProgress::readFailed(std::int32_t /*point*/, ReadFailure why, std::int32_t visaStatus) {
    ++failures_[static_cast<int>(why)];
    if (visaStatus != 0) {
        lastFailureStatus_ = visaStatus;
    }
}

void RunProgress::pointStored(const StoredPoint& point) {
    const std::int64_t now = clock_.tickMs();
    slowestMs_ = std::max(slowestMs_.value_or(0), now - lastStoredMs_);
    if (stored_ == 0) {
        firstStoredMs_ = now;
    }
    lastStoredMs_ = now;
    stored_ = std::max(stored_, point.point);
    for (const RunChannelSetup& channel : setup_.channels) {
        if (channel.channel >= 1 && channel.channel <= 10 && !point.values[channel.channel]) {
            ++missing_[channel.channel];
        }
    }
}

void RunProgress::runEnded(RunEnd how, std::int32_t pointsTaken) {
    end_ = how;
    endMs_ = clock_.tickMs();
    stored_ = std::max(stored_, pointsTaken);
}

std::int64_t RunProgress::elapsedMs() const {
    if (!started_) {
        return 0;
    }
    return (end_ ? endMs_ : clock_.tickMs()) - startMs_;
}

std::optional<double> RunProgress::meanPeriodMs() const {
    if (stored_ <= 0) {
        return std::nullopt;
    }
    // The first point waits no interval; from the second on, the periods
    // between points are what the rest of the run will take.
    if (stored_ == 1) {
        return static_cast<double>(firstStoredMs_ - startMs_);
    }
    return static_cast<double>(lastStoredMs_ - firstStoredMs_) / (stored_ - 1);
}

std::optional<std::int64_t> RunProgress::timeLeftMs() const {
    const auto mean = meanPeriodMs();
    if (!mean || !active()) {
        return std::nullopt;
    }
    // Counts down between points; a point that is late (a held run) holds
    // the estimate rather than letting it run out.
    const std::int32_t left = std::max(setup_.recordLength - stored_, 0);
    const double sinceLast = static_cast<double>(clock_.tickMs() - lastStoredMs_);
    return static_cast<std::int64_t>(std::max(*mean * left - std::min(sinceLast, *mean), 0.0) +
                                     0.5);
}

std::int32_t RunProgress::missingReadings() const {
    return std::accumulate(missing_.begin(), missing_.end(), std::int32_t{0});
}

}  // namespace tq::status
