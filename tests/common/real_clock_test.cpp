#include "common/real_clock.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QTimer>

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

}  // namespace
}  // namespace tq
