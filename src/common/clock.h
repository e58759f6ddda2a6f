#pragma once

#include <cstdint>
#include <functional>

namespace tq {

// Time as the front panel sees it. The program keeps everything on one
// thread: fixed pauses pace the meter, yields keep the window alive, and the
// one timer hides the warning strip. A real clock does that against the
// event loop; a virtual clock lets tests and the fast demo run thousands of
// points in milliseconds while every pause is still accounted for.
class Clock {
  public:
    virtual ~Clock() = default;

    // Milliseconds since an arbitrary origin; monotonic, never wraps.
    virtual std::int64_t tickMs() const = 0;
    // The same time in microseconds, as finely as the clock keeps it (run
    // times, trace times).
    virtual std::int64_t tickUs() const { return tickMs() * 1000; }

    // A fixed blocking pause: the window stays painted, user input waits
    // until the next yield.
    virtual void pause(std::int64_t ms) = 0;

    // Serve pending events (clicks included) and return.
    virtual void yield() = 0;

    // Nothing to do but wait for an event: used by loops that hold until the
    // user acts (the pause toggle). Serves all events.
    virtual void idle() = 0;

    // A wait that serves all events and ends early once stop() is true.
    virtual void wait(std::int64_t ms, const std::function<bool()>& stop) = 0;

    // One-shot timer: fire() runs on the event loop after ms. Returns an id
    // for stopTimer(); ids are never reused.
    virtual int startTimer(std::int64_t ms, std::function<void()> fire) = 0;
    virtual void stopTimer(int id) = 0;
};

}  // namespace tq
