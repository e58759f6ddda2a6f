#include "common/real_clock.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QTimer>
#include <memory>
#include <utility>
#include <vector>

namespace tq {
namespace {

// Real time against a Qt event loop: tens of milliseconds, lower bounds only.
class RealClockTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "real_clock_test";
        static char* argv[] = {name, nullptr};
        if (QCoreApplication::instance() == nullptr) {
            app_ = new QCoreApplication(argc, argv);
        }
    }
    static void TearDownTestSuite() {
        delete app_;
        app_ = nullptr;
    }
    static inline QCoreApplication* app_ = nullptr;
};

TEST_F(RealClockTest, PauseLastsAndServesTimers) {
    RealClock clock;
    bool fired = false;
    clock.startTimer(5, [&] { fired = true; });
    const auto start = clock.tickMs();
    clock.pause(30);
    EXPECT_GE(clock.tickMs() - start, 30);
    EXPECT_TRUE(fired);  // timers are not user input: they run during a pause
}

TEST_F(RealClockTest, WaitEndsEarlyOnStop) {
    RealClock clock;
    bool stop = false;
    clock.startTimer(10, [&] { stop = true; });
    const auto start = clock.tickMs();
    clock.wait(5000, [&] { return stop; });
    EXPECT_TRUE(stop);
    EXPECT_LT(clock.tickMs() - start, 4000);
}

TEST_F(RealClockTest, StoppedTimersStayQuietAndCallbacksMayRestart) {
    RealClock clock;
    int fired = 0;
    const int quiet = clock.startTimer(5, [&] { fired += 100; });
    clock.stopTimer(quiet);
    clock.stopTimer(quiet);
    clock.stopTimer(4242);
    clock.startTimer(2, [&] {
        ++fired;
        clock.startTimer(2, [&] { ++fired; });
    });
    clock.wait(2000, [&] { return fired >= 2; });
    clock.pause(15);
    EXPECT_EQ(fired, 2);
}

TEST_F(RealClockTest, YieldServesPostedWorkAndIdleReturns) {
    RealClock clock;
    bool ran = false;
    QTimer::singleShot(0, [&] { ran = true; });
    for (int i = 0; i < 50 && !ran; ++i) {
        clock.yield();
    }
    EXPECT_TRUE(ran);
    const auto start = clock.tickMs();
    clock.idle();  // nothing pending: returns after its bounded wait
    EXPECT_LT(clock.tickMs() - start, 2000);
}

// A steady clock that moves only when the real clock waits on it, and then
// the way a loaded machine moves: the event loop wakes late, the sleep too,
// and every look at the clock costs a microsecond.
class FakeMachine final : public RealClock::Backend {
  public:
    struct Serve {
        std::int64_t ms;
        bool userInput;
    };

    std::int64_t nowUs() const override { return ++nowUs_; }
    void serveEvents(std::int64_t ms, bool userInput) override {
        serves->push_back({ms, userInput});
        nowUs_ += std::min(ms * 1000, eventAfterUs) + loopLateUs;
    }
    void sleepUs(std::int64_t us) override {
        ++*sleeps;
        nowUs_ += us + sleepLateUs;
    }

    mutable std::int64_t nowUs_ = 7'000'123;
    std::int64_t loopLateUs = 1900;  // the event loop's timers come late
    std::int64_t sleepLateUs = 150;
    std::int64_t eventAfterUs = 1'000'000'000;  // an event arrives this soon
    std::shared_ptr<std::vector<Serve>> serves = std::make_shared<std::vector<Serve>>();
    std::shared_ptr<int> sleeps = std::make_shared<int>(0);
};

// Each fixed pause ends within 0.2 ms after its length, never before, however
// late the event loop wakes within its margin and whenever events cut its
// waits short; the window is served for most of it, user input held back.
TEST(RealClockPacing, PauseEndsWithinAFifthOfAMillisecond) {
    for (const std::int64_t eventAfterUs : {1'000'000'000LL, 3000LL, 300LL}) {
        for (const std::int64_t ms : {0, 1, 2, 20, 40, 50, 100, 2000}) {
            auto machine = std::make_unique<FakeMachine>();
            machine->eventAfterUs = eventAfterUs;
            const auto serves = machine->serves;
            RealClock clock(std::move(machine));
            const std::int64_t start = clock.tickUs();
            clock.pause(ms);
            const std::int64_t took = clock.tickUs() - start;
            EXPECT_GE(took, ms * 1000) << ms;
            EXPECT_LE(took, ms * 1000 + 200) << ms << " ms, events every " << eventAfterUs;
            std::int64_t served = 0;
            for (const FakeMachine::Serve& s : *serves) {
                EXPECT_FALSE(s.userInput);
                served += s.ms;
            }
            if (ms >= 20 && eventAfterUs > ms * 1000) {
                EXPECT_GE(served, ms - 3) << ms;  // the window stays painted
            }
        }
    }
}

// The interval wait serves user input too, a poll at a time, ends as
// precisely as a pause and stops early when asked.
TEST(RealClockPacing, IntervalWaitServesInputAndStopsEarly) {
    auto machine = std::make_unique<FakeMachine>();
    const auto serves = machine->serves;
    RealClock clock(std::move(machine));
    std::int64_t start = clock.tickUs();
    clock.wait(1000, [] { return false; });
    const std::int64_t took = clock.tickUs() - start;
    EXPECT_GE(took, 1'000'000);
    EXPECT_LE(took, 1'000'200);
    for (const FakeMachine::Serve& s : *serves) {
        EXPECT_TRUE(s.userInput);
        EXPECT_LE(s.ms, RealClock::kPollMs);
    }
    int asked = 0;
    start = clock.tickUs();
    clock.wait(1000, [&] { return ++asked > 3; });
    EXPECT_LT(clock.tickUs() - start, 100'000);
}

TEST(RealClockPacing, TicksKeepMicroseconds) {
    auto machine = std::make_unique<FakeMachine>();
    FakeMachine& fake = *machine;
    RealClock clock(std::move(machine));
    fake.nowUs_ += 12'345'677;
    EXPECT_EQ(clock.tickUs(), 12'345'678);  // and the look itself
    EXPECT_EQ(clock.tickMs(), 12'345);
}

}  // namespace
}  // namespace tq
