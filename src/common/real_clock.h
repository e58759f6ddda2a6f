#pragma once

#include <QElapsedTimer>
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
class RealClock final : public Clock {
  public:
    // Longest single wait for events before stop() is asked again / idle()
    // returns.
    static constexpr int kPollMs = 10;

    RealClock();
    ~RealClock() override;
    RealClock(const RealClock&) = delete;
    RealClock& operator=(const RealClock&) = delete;

    std::int64_t tickMs() const override { return elapsed_.elapsed(); }
    void pause(std::int64_t ms) override;
    void yield() override;
    void idle() override;
    void wait(std::int64_t ms, const std::function<bool()>& stop) override;
    int startTimer(std::int64_t ms, std::function<void()> fire) override;
    void stopTimer(int id) override;

  private:
    QElapsedTimer elapsed_;
    std::map<int, std::unique_ptr<QTimer>> timers_;
    int nextId_ = 1;
};

}  // namespace tq
