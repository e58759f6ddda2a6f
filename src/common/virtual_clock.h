#pragma once

#include <cstdint>
#include <functional>

#include "common/clock.h"
#include "common/timer_queue.h"

namespace tq {

// Time that moves only when the program waits: pauses advance it at once and
// timers fire at their exact due times, so runs of thousands of points take
// milliseconds and every test sees the same sequence. The yield hook is where
// a window's events get served (the app sets it to process Qt events).
class VirtualClock final : public Clock {
  public:
    // How far idle() moves time when no timer is pending, so that a loop
    // holding on idle() always sees time pass.
    static constexpr std::int64_t kIdleStepMs = 10;

    explicit VirtualClock(std::int64_t originMs = 0) : nowMs_(originMs) {}

    std::int64_t tickMs() const override { return nowMs_; }
    void pause(std::int64_t ms) override;
    void yield() override;
    void idle() override;
    void wait(std::int64_t ms, const std::function<bool()>& stop) override;
    int startTimer(std::int64_t ms, std::function<void()> fire) override;
    void stopTimer(int id) override;

    // Moves time on by ms, firing every timer that falls due on the way.
    void advance(std::int64_t ms);

    void setYieldHook(std::function<void()> hook) { yieldHook_ = std::move(hook); }
    // Called by idle() instead of the yield hook when set: a window may block
    // there until the user acts.
    void setIdleHook(std::function<void()> hook) { idleHook_ = std::move(hook); }

    bool hasPendingTimers() const { return !timers_.empty(); }

  private:
    // Fires the earliest timer due at or before untilMs, first setting the
    // time to its due time; false when none is due.
    bool fireNext(std::int64_t untilMs);
    void advanceTo(std::int64_t targetMs);
    void callYieldHook() const;

    std::int64_t nowMs_;
    TimerQueue timers_;
    std::function<void()> yieldHook_;
    std::function<void()> idleHook_;
};

}  // namespace tq
