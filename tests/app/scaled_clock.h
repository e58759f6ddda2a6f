#pragma once

#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>
#include <thread>

#include "common/clock.h"
#include "common/timer_queue.h"

namespace tq::test {

// Wall time running `scale` times faster. A run over a real socket cannot
// use virtual time (the socket's time-outs are real), but the window and a
// simulated meter served in another thread may share a faster wall clock:
// every pause, scan and time-out keeps its proportions while the run takes
// a fraction of its time. tickMs() may be called from any thread; the rest
// belongs to the window's thread.
class ScaledClock final : public Clock {
  public:
    explicit ScaledClock(double scale) : scale_(scale), origin_(Steady::now()) {}

    double scale() const { return scale_; }
    // Real milliseconds for ms of this clock's time.
    std::int64_t realMs(std::int64_t ms) const {
        return std::max<std::int64_t>(1,
                                      static_cast<std::int64_t>(static_cast<double>(ms) / scale_));
    }

    std::int64_t tickMs() const override {
        const auto real = std::chrono::duration<double, std::milli>(Steady::now() - origin_);
        return static_cast<std::int64_t>(real.count() * scale_);
    }
    void pause(std::int64_t ms) override { waitUntil(tickMs() + ms, {}); }
    void yield() override {
        serveEvents();
        runDue();
    }
    void idle() override {
        std::this_thread::sleep_for(std::chrono::microseconds(200));
        yield();
    }
    void wait(std::int64_t ms, const std::function<bool()>& stop) override {
        waitUntil(tickMs() + ms, stop);
    }
    int startTimer(std::int64_t ms, std::function<void()> fire) override {
        return timers_.start(tickMs() + ms, std::move(fire));
    }
    void stopTimer(int id) override { timers_.stop(id); }

  private:
    using Steady = std::chrono::steady_clock;

    static void serveEvents() {
        if (QCoreApplication::instance() != nullptr) {
            QCoreApplication::processEvents();
        }
    }
    void runDue() {
        while (const auto fire = timers_.takeDue(tickMs())) {
            fire();
        }
    }
    void waitUntil(std::int64_t deadline, const std::function<bool()>& stop) {
        while (tickMs() < deadline && !(stop && stop())) {
            const auto step = std::chrono::duration<double, std::milli>(
                std::min<double>(static_cast<double>(deadline - tickMs()) / scale_, 1.0));
            std::this_thread::sleep_for(step);
            yield();
        }
    }

    double scale_;
    Steady::time_point origin_;
    TimerQueue timers_;
};

}  // namespace tq::test
