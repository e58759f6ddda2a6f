#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "engine/run_observer.h"

namespace tq {
class Clock;
}

namespace tq::status {

// A run's progress in numbers, taken from its observer calls and timed on
// the window's clock: how far it got, how fast, and what it lost on the way.
// It keeps the last run's figures until the next one starts.
class RunProgress final : public RunObserver {
  public:
    explicit RunProgress(const Clock& clock) : clock_(clock) {}

    void runStarted(const RunSetup& setup) override;
    void readFailed(std::int32_t point, ReadFailure why, std::int32_t visaStatus) override;
    void pointStored(const StoredPoint& point) override;
    void runEnded(RunEnd how, std::int32_t pointsTaken) override;

    bool started() const { return started_; }
    bool active() const { return started_ && !end_; }
    const std::optional<RunEnd>& end() const { return end_; }

    const RunSetup& setup() const { return setup_; }
    std::int32_t pointsStored() const { return stored_; }
    // Since the run started; frozen once it ended.
    std::int64_t elapsedMs() const;
    // Mean time between points stored (the first point's time from the
    // start, while it is the only one), and the longest gap between two
    // points stored (the first counted from the start); none before a point
    // is stored.
    std::optional<double> meanPeriodMs() const;
    std::optional<std::int64_t> slowestPeriodMs() const { return slowestMs_; }
    // From the mean pace, for the points still to come, less the time the
    // point in hand has taken; none before a pace is known or once the run
    // is over.
    std::optional<std::int64_t> timeLeftMs() const;

    // Channels of the run that a stored point holds no reading for,
    // counted per channel number (1..10).
    std::int32_t missingReadings() const;
    const std::array<std::int32_t, 11>& missingByChannel() const { return missing_; }
    std::int32_t failures(ReadFailure kind) const { return failures_[static_cast<int>(kind)]; }
    // The status of the latest failed read (0 when none failed).
    std::int32_t lastFailureStatus() const { return lastFailureStatus_; }

  private:
    const Clock& clock_;
    RunSetup setup_;
    bool started_ = false;
    std::optional<RunEnd> end_;
    std::int64_t startMs_ = 0;
    std::int64_t endMs_ = 0;
    std::int64_t firstStoredMs_ = 0;
    std::int64_t lastStoredMs_ = 0;
    std::int32_t stored_ = 0;
    std::optional<std::int64_t> slowestMs_;
    std::array<std::int32_t, 11> missing_{};
    std::array<std::int32_t, 3> failures_{};
    std::int32_t lastFailureStatus_ = 0;
};

}  // namespace tq::status
