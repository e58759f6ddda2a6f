#include "common/steady_clock.h"

#include <algorithm>
#include <thread>

namespace tq {

std::int64_t SteadyClock::tickMs() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 origin_)
        .count();
}

std::int64_t SteadyClock::tickUs() const {
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() -
                                                                 origin_)
        .count();
}

bool SteadyClock::runDue(const std::function<bool()>& stop) {
    while (const auto fire = timers_.takeDue(tickMs())) {
        fire();
        if (stop && stop()) {
            return true;
        }
    }
    return false;
}

void SteadyClock::sleepAtMost(std::int64_t maxMs) const {
    std::int64_t ms = maxMs;
    if (!timers_.empty()) {
        ms = std::min(ms, timers_.nextDueMs() - tickMs());
    }
    if (ms > 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
}

void SteadyClock::pause(std::int64_t ms) {
    const std::int64_t deadline = tickMs() + std::max<std::int64_t>(ms, 0);
    while (tickMs() < deadline) {
        runDue({});
        sleepAtMost(deadline - tickMs());
    }
    runDue({});
}

void SteadyClock::yield() {
    runDue({});
}

void SteadyClock::idle() {
    sleepAtMost(kIdleSleepMs);
    runDue({});
}

void SteadyClock::wait(std::int64_t ms, const std::function<bool()>& stop) {
    const std::int64_t deadline = tickMs() + std::max<std::int64_t>(ms, 0);
    while (!runDue(stop) && !stop()) {
        const std::int64_t remaining = deadline - tickMs();
        if (remaining <= 0) {
            return;
        }
        sleepAtMost(std::min(remaining, kWaitStepMs));
    }
}

int SteadyClock::startTimer(std::int64_t ms, std::function<void()> fire) {
    return timers_.start(tickMs() + std::max<std::int64_t>(ms, 0), std::move(fire));
}

void SteadyClock::stopTimer(int id) {
    timers_.stop(id);
}

}  // namespace tq
