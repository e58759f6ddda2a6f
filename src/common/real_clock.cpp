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

// Waits longer than anyone means still end in range: some 146000 years.
constexpr std::int64_t kLongestWaitMs = std::numeric_limits<std::int64_t>::max() / 2000;

std::int64_t waitUs(std::int64_t ms) {
    return std::clamp<std::int64_t>(ms, 0, kLongestWaitMs) * 1000;
}

class QtBackend final : public RealClock::Backend {
  public:
    std::int64_t nowUs() const override {
        return std::chrono::duration_cast<std::chrono::microseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }

    // Blocks until at least one event arrives or ms have passed: a precise
    // wake-up timer bounds the wait without a busy loop.
    void serveEvents(std::int64_t ms, bool userInput) override {
        if (QCoreApplication::instance() == nullptr) {
            sleepUs(ms * 1000);
            return;
        }
        QTimer wake;
        wake.setSingleShot(true);
        wake.setTimerType(Qt::PreciseTimer);
        wake.start(clampToInt(ms));
        const QEventLoop::ProcessEventsFlags flags =
            userInput ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents;
        QCoreApplication::processEvents(flags | QEventLoop::WaitForMoreEvents);
    }

    void sleepUs(std::int64_t us) override {
        std::this_thread::sleep_for(std::chrono::microseconds(std::max<std::int64_t>(us, 0)));
    }
};

}  // namespace

RealClock::RealClock() : RealClock(std::make_unique<QtBackend>()) {}

RealClock::RealClock(std::unique_ptr<Backend> backend)
    : backend_(std::move(backend)), originUs_(backend_->nowUs()) {}

RealClock::~RealClock() = default;

void RealClock::waitUntil(std::int64_t deadlineUs, bool userInput,
                          const std::function<bool()>* stop) {
    while (stop == nullptr || !(*stop)()) {
        const std::int64_t remaining = deadlineUs - tickUs();
        if (remaining <= 0) {
            return;
        }
        if (const std::int64_t loopMs = (remaining - kEventLoopMarginUs) / 1000; loopMs > 0) {
            backend_->serveEvents(
                stop != nullptr ? std::min<std::int64_t>(loopMs, kPollMs) : loopMs, userInput);
        } else if (remaining > kWatchUs) {
            backend_->sleepUs(remaining - kWatchUs);
        }
        // Otherwise the loop watches the clock until the deadline.
    }
}

void RealClock::pause(std::int64_t ms) {
    waitUntil(tickUs() + waitUs(ms), false, nullptr);
}

void RealClock::yield() {
    if (QCoreApplication::instance() != nullptr) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
}

void RealClock::idle() {
    backend_->serveEvents(kPollMs, true);
}

void RealClock::wait(std::int64_t ms, const std::function<bool()>& stop) {
    waitUntil(tickUs() + waitUs(ms), true, &stop);
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
