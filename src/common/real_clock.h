#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>

#include "common/clock.h"

class QTimer;

namespace tq {

// Wall time against the Qt event loop of the calling (window) thread. A pause
// keeps the window painted and its timers running while user input waits in
// the queue, which is what a blocking pause means to the user without a
// frozen window. Needs a QCoreApplication; without one, waits just sleep.
//
// Pauses pace the meter, about thirty to a point, so each one ends as close
// to its length as the machine allows: the event loop serves the window
// until shortly before the end (its timers wake in whole milliseconds and
// may come late), a thread sleep takes most of the rest and the last
// fraction of a millisecond is watched on the steady clock.
class RealClock final : public Clock {
  public:
    // Longest single wait for events before stop() is asked again / idle()
    // returns.
    static constexpr int kPollMs = 10;
    // Left to the sleep and the watch after the event loop's last wait.
    static constexpr std::int64_t kEventLoopMarginUs = 2000;
    // Left to the watch after the sleep, which may wake this much late.
    static constexpr std::int64_t kWatchUs = 200;

    // What the clock needs from the machine; tests put a fake steady clock
    // behind it.
    class Backend {
      public:
        virtual ~Backend() = default;
        // A steady clock in microseconds, on any origin.
        virtual std::int64_t nowUs() const = 0;
        // Serves window events (user input only when userInput) until one
        // was served or about ms have passed.
        virtual void serveEvents(std::int64_t ms, bool userInput) = 0;
        // Blocks the thread for about us.
        virtual void sleepUs(std::int64_t us) = 0;
    };

    RealClock();  // the Qt event loop and the system's steady clock
    explicit RealClock(std::unique_ptr<Backend> backend);
    ~RealClock() override;
    RealClock(const RealClock&) = delete;
    RealClock& operator=(const RealClock&) = delete;

    std::int64_t tickMs() const override { return tickUs() / 1000; }
    std::int64_t tickUs() const override { return backend_->nowUs() - originUs_; }
    void pause(std::int64_t ms) override;
    void yield() override;
    void idle() override;
    void wait(std::int64_t ms, const std::function<bool()>& stop) override;
    int startTimer(std::int64_t ms, std::function<void()> fire) override;
    void stopTimer(int id) override;

  private:
    // Returns at deadlineUs (or once stop() is true); user input is served
    // only when userInput.
    void waitUntil(std::int64_t deadlineUs, bool userInput, const std::function<bool()>* stop);

    std::unique_ptr<Backend> backend_;
    std::int64_t originUs_;
    std::map<int, std::unique_ptr<QTimer>> timers_;
    int nextId_ = 1;
};

}  // namespace tq
