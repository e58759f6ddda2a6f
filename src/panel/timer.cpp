#include "panel/timer.h"
#include "common/clock.h"

namespace tq {

Timer::Timer(QObject* parent) : QObject(parent) {}

Timer::~Timer() {
    disarm();
}

void Timer::setClock(Clock* clock) {
    disarm();
    clock_ = clock;
    arm();
}

// Like the toolkit timer it stands for, a new interval restarts the count.
void Timer::setInterval(int ms) {
    interval_ = ms;
    disarm();
    arm();
}

void Timer::setEnabled(bool enabled) {
    if (enabled == enabled_) {
        return;
    }
    enabled_ = enabled;
    disarm();
    arm();
}

// One one-shot clock timer at a time; each firing arms the next, so an
// interval or enable change made by a handler takes effect at once.
void Timer::arm() {
    if (!enabled_ || clock_ == nullptr || interval_ <= 0 || timerId_ != -1) {
        return;
    }
    timerId_ = clock_->startTimer(interval_, [this] {
        timerId_ = -1;
        emit timer();
        arm();
    });
}

void Timer::disarm() {
    if (timerId_ != -1 && clock_ != nullptr) {
        clock_->stopTimer(timerId_);
    }
    timerId_ = -1;
}

}  // namespace tq
