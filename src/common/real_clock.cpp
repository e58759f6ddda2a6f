#include "common/real_clock.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <limits>
#include <thread>

namespace tq {

namespace {

int clampToInt(std::int64_t ms) {
    return static_cast<int>(std::clamp<std::int64_t>(ms, 0, std::numeric_limits<int>::max()));
}

// Serves events of the given kinds, blocking until at least one arrives or
// ms have passed: a precise wake-up timer bounds the wait without a busy loop.
void serveEventsFor(std::int64_t ms, QEventLoop::ProcessEventsFlags flags) {
    if (QCoreApplication::instance() == nullptr) {
        std::this_thread::sleep_for(std::chrono::milliseconds(std::max<std::int64_t>(ms, 0)));
        return;
    }
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    wake.start(clampToInt(ms));
    QCoreApplication::processEvents(flags | QEventLoop::WaitForMoreEvents);
}

}  // namespace

RealClock::RealClock() {
    elapsed_.start();
}

RealClock::~RealClock() = default;

void RealClock::pause(std::int64_t ms) {
    const std::int64_t deadline = tickMs() + std::max<std::int64_t>(ms, 0);
    for (std::int64_t remaining = deadline - tickMs(); remaining > 0;
         remaining = deadline - tickMs()) {
        serveEventsFor(remaining, QEventLoop::ExcludeUserInputEvents);
    }
}

void RealClock::yield() {
    if (QCoreApplication::instance() != nullptr) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
}

void RealClock::idle() {
    serveEventsFor(kPollMs, QEventLoop::AllEvents);
}

void RealClock::wait(std::int64_t ms, const std::function<bool()>& stop) {
    const std::int64_t deadline = tickMs() + std::max<std::int64_t>(ms, 0);
    while (!stop()) {
        const std::int64_t remaining = deadline - tickMs();
        if (remaining <= 0) {
            return;
        }
        serveEventsFor(std::min<std::int64_t>(remaining, kPollMs), QEventLoop::AllEvents);
    }
}

int RealClock::startTimer(std::int64_t ms, std::function<void()> fire) {
    const int id = nextId_++;
    auto timer = std::make_unique<QTimer>();
    timer->setSingleShot(true);
    QObject::connect(timer.get(), &QTimer::timeout, [this, id, fire = std::move(fire)] {
        const auto it = timers_.find(id);
        if (it == timers_.end()) {
            return;
        }
        // The timer cannot be deleted inside its own signal; the callback may
        // start or stop timers, so the entry goes first.
        it->second.release()->deleteLater();
        timers_.erase(it);
        const auto callback = fire;
        callback();
    });
    timer->start(clampToInt(ms));
    timers_.emplace(id, std::move(timer));
    return id;
}

void RealClock::stopTimer(int id) {
    timers_.erase(id);
}

}  // namespace tq
