#include "common/virtual_clock.h"

#include <algorithm>

namespace tq {

bool VirtualClock::fireNext(std::int64_t untilMs) {
    if (timers_.empty() || timers_.nextDueMs() > untilMs) {
        return false;
    }
    // A callback that itself paused may have taken time past the due time;
    // time never runs backwards.
    nowMs_ = std::max(nowMs_, timers_.nextDueMs());
    const auto fire = timers_.takeDue(nowMs_);
    fire();
    return true;
}

void VirtualClock::advanceTo(std::int64_t targetMs) {
    while (fireNext(targetMs)) {
    }
    nowMs_ = std::max(nowMs_, targetMs);
}

void VirtualClock::callYieldHook() const {
    if (yieldHook_) {
        yieldHook_();
    }
}

void VirtualClock::advance(std::int64_t ms) {
    advanceTo(nowMs_ + std::max<std::int64_t>(ms, 0));
}

void VirtualClock::pause(std::int64_t ms) {
    advance(ms);
}

void VirtualClock::yield() {
    while (fireNext(nowMs_)) {
    }
    callYieldHook();
}

void VirtualClock::idle() {
    if (timers_.empty()) {
        nowMs_ += kIdleStepMs;
    } else {
        advanceTo(timers_.nextDueMs());
    }
    if (idleHook_) {
        idleHook_();
    } else {
        callYieldHook();
    }
}

void VirtualClock::wait(std::int64_t ms, const std::function<bool()>& stop) {
    const std::int64_t targetMs = nowMs_ + std::max<std::int64_t>(ms, 0);
    callYieldHook();
    if (stop()) {
        return;
    }
    while (fireNext(targetMs)) {
        if (stop()) {
            return;
        }
    }
    nowMs_ = std::max(nowMs_, targetMs);
}

int VirtualClock::startTimer(std::int64_t ms, std::function<void()> fire) {
    return timers_.start(nowMs_ + std::max<std::int64_t>(ms, 0), std::move(fire));
}

void VirtualClock::stopTimer(int id) {
    timers_.stop(id);
}

}  // namespace tq
