#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "common/clock.h"

namespace tq {

// The window's clock as a control script needs to see it. Everything goes
// to the clock underneath; on the way this one keeps count of what the
// window is doing with time, so that a script acts only where a user's input
// would be served (never inside a fixed pause, which holds input back) and
// so that idle virtual time is moved on only from the event loop itself.
class ScriptClock final : public Clock {
  public:
    explicit ScriptClock(Clock& inner) : inner_(inner) {}
    ScriptClock(const ScriptClock&) = delete;
    ScriptClock& operator=(const ScriptClock&) = delete;

    std::int64_t tickMs() const override { return inner_.tickMs(); }
    std::int64_t tickUs() const override { return inner_.tickUs(); }
    void pause(std::int64_t ms) override;
    void yield() override;
    void idle() override;
    void wait(std::int64_t ms, const std::function<bool()>& stop) override;
    int startTimer(std::int64_t ms, std::function<void()> fire) override;
    void stopTimer(int id) override { inner_.stopTimer(id); }

    // Inside a fixed pause: user input waits.
    bool pausing() const { return pauseDepth_ > 0; }
    // Inside any pause, yield, idle or wait: a handler is on the stack.
    bool busy() const { return depth_ > 0; }

    // Runs once the outermost pause now in progress has returned.
    void afterPause(std::function<void()> then) { afterPause_.push_back(std::move(then)); }

    // Runs body as the event loop runs a handler: idle virtual time stays
    // where it is until body returns.
    void runAsHandler(const std::function<void()>& body);

    // Told whenever a timer is started (a pump of virtual time wakes up).
    void setTimerStartedHook(std::function<void()> hook) { timerStarted_ = std::move(hook); }

  private:
    class Depth;

    Clock& inner_;
    int depth_ = 0;
    int pauseDepth_ = 0;
    std::vector<std::function<void()>> afterPause_;
    std::function<void()> timerStarted_;
};

}  // namespace tq
