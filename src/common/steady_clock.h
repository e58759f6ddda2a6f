#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

#include "common/clock.h"
#include "common/timer_queue.h"

namespace tq {

// Wall time without an event loop, for programs that only serve a socket
// (the simulator server): pauses sleep, timers run whenever the clock is
// paused, yielded or idle.
class SteadyClock final : public Clock {
  public:
    // Longest single sleep of idle() and of the steps of wait().
    static constexpr std::int64_t kIdleSleepMs = 1;
    static constexpr std::int64_t kWaitStepMs = 5;

    SteadyClock() : origin_(std::chrono::steady_clock::now()) {}

    std::int64_t tickMs() const override;
    std::int64_t tickUs() const override;
    void pause(std::int64_t ms) override;
    void yield() override;
    void idle() override;
    void wait(std::int64_t ms, const std::function<bool()>& stop) override;
    int startTimer(std::int64_t ms, std::function<void()> fire) override;
    void stopTimer(int id) override;

  private:
    // Runs every timer now due; stops early (returning true) once stop() is.
    bool runDue(const std::function<bool()>& stop);
    // Sleeps at most maxMs, waking for the next timer.
    void sleepAtMost(std::int64_t maxMs) const;

    std::chrono::steady_clock::time_point origin_;
    TimerQueue timers_;
};

}  // namespace tq
