#include "common/steady_clock.h"

#include <gtest/gtest.h>

namespace tq {
namespace {

// Real time: kept to tens of milliseconds and asserting only lower bounds.
TEST(SteadyClock, PauseLastsAndRunsTimersOnTheWay) {
    SteadyClock clock;
    std::int64_t firedAt = -1;
    const auto start = clock.tickMs();
    clock.startTimer(5, [&] { firedAt = clock.tickMs(); });
    clock.pause(20);
    EXPECT_GE(clock.tickMs() - start, 20);
    EXPECT_GE(firedAt - start, 5);
}

TEST(SteadyClock, WaitEndsWhenATimerRaisesStop) {
    SteadyClock clock;
    bool stop = false;
    const auto start = clock.tickMs();
    clock.startTimer(10, [&] { stop = true; });
    clock.wait(10000, [&] { return stop; });
    EXPECT_TRUE(stop);
    EXPECT_LT(clock.tickMs() - start, 5000);
}

TEST(SteadyClock, StoppedTimerNeverFires) {
    SteadyClock clock;
    bool fired = false;
    clock.stopTimer(clock.startTimer(1, [&] { fired = true; }));
    clock.stopTimer(999);
    clock.pause(5);
    clock.idle();
    clock.yield();
    EXPECT_FALSE(fired);
}

}  // namespace
}  // namespace tq
