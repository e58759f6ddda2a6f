#include "common/virtual_clock.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace tq {
namespace {

using Log = std::vector<std::pair<std::string, std::int64_t>>;

TEST(VirtualClock, PauseFiresDueTimersInDueOrderAtTheirTimes) {
    VirtualClock clock(1000);
    Log log;
    auto note = [&](std::string name) {
        return [&log, &clock, name] { log.emplace_back(name, clock.tickMs()); };
    };
    clock.startTimer(30, note("c"));
    clock.startTimer(10, note("a"));
    clock.startTimer(10, note("b"));  // same due time: start order
    clock.startTimer(80, note("late"));
    clock.pause(50);
    EXPECT_EQ(log, (Log{{"a", 1010}, {"b", 1010}, {"c", 1030}}));
    EXPECT_EQ(clock.tickMs(), 1050);
    clock.pause(30);
    EXPECT_EQ(log.back(), (std::pair<std::string, std::int64_t>{"late", 1080}));
    EXPECT_FALSE(clock.hasPendingTimers());
}

TEST(VirtualClock, TimersStartedOrStoppedByCallbacksAreHonoured) {
    VirtualClock clock;
    Log log;
    int second = 0;
    clock.startTimer(10, [&] {
        log.emplace_back("first", clock.tickMs());
        clock.startTimer(5, [&] { log.emplace_back("nested", clock.tickMs()); });
        clock.startTimer(0, [&] { log.emplace_back("now", clock.tickMs()); });
        clock.stopTimer(second);
    });
    second = clock.startTimer(12, [&] { log.emplace_back("stopped", clock.tickMs()); });
    clock.startTimer(100, [&] { log.emplace_back("beyond", clock.tickMs()); });
    clock.advance(20);
    EXPECT_EQ(log, (Log{{"first", 10}, {"now", 10}, {"nested", 15}}));
    EXPECT_EQ(clock.tickMs(), 20);
}

TEST(VirtualClock, CallbackThatPausesNeverTurnsTimeBack) {
    VirtualClock clock;
    Log log;
    clock.startTimer(10, [&] { clock.pause(50); });
    clock.startTimer(20, [&] { log.emplace_back("second", clock.tickMs()); });
    clock.pause(30);
    // The nested pause fired the second timer at 20 and moved time to 60.
    EXPECT_EQ(log, (Log{{"second", 20}}));
    EXPECT_EQ(clock.tickMs(), 60);
}

TEST(VirtualClock, StopTimerOfFiredOrUnknownIdIsHarmlessAndIdsAreFresh) {
    VirtualClock clock;
    int fired = 0;
    const int a = clock.startTimer(5, [&] { ++fired; });
    clock.pause(5);
    clock.stopTimer(a);
    clock.stopTimer(12345);
    const int b = clock.startTimer(5, [&] { ++fired; });
    EXPECT_NE(a, b);
    clock.stopTimer(b);
    clock.pause(100);
    EXPECT_EQ(fired, 1);
}

TEST(VirtualClock, YieldServesEventsWithoutMovingTime) {
    VirtualClock clock(7);
    int hooks = 0;
    int fired = 0;
    clock.setYieldHook([&] { ++hooks; });
    clock.startTimer(0, [&] { ++fired; });
    clock.startTimer(1, [&] { ++fired; });
    clock.yield();
    EXPECT_EQ(hooks, 1);
    EXPECT_EQ(fired, 1);  // only the timer due now
    EXPECT_EQ(clock.tickMs(), 7);
    clock.pause(-5);  // a negative pause is no pause
    EXPECT_EQ(clock.tickMs(), 7);
}

TEST(VirtualClock, IdleAlwaysProgresses) {
    VirtualClock clock;
    int hooks = 0;
    bool released = false;
    clock.setYieldHook([&] { ++hooks; });
    clock.startTimer(4000, [&] { released = true; });
    // A hold loop on idle() reaches the pending timer...
    while (!released) {
        clock.idle();
    }
    EXPECT_EQ(clock.tickMs(), 4000);
    // ...and, with nothing pending, still sees time pass.
    clock.idle();
    EXPECT_EQ(clock.tickMs(), 4000 + VirtualClock::kIdleStepMs);
    EXPECT_EQ(hooks, 2);

    int idleHooks = 0;
    clock.setIdleHook([&] { ++idleHooks; });
    clock.idle();
    EXPECT_EQ(idleHooks, 1);
    EXPECT_EQ(hooks, 2);
}

TEST(VirtualClock, WaitRunsToTheEndOrStopsEarly) {
    VirtualClock clock;
    bool stop = false;
    int hooks = 0;
    clock.setYieldHook([&] { ++hooks; });
    clock.wait(100, [&] { return stop; });
    EXPECT_EQ(clock.tickMs(), 100);
    EXPECT_EQ(hooks, 1);

    // A timer raises the stop flag midway: the wait ends at that moment.
    clock.startTimer(30, [&] { stop = true; });
    clock.startTimer(60, [&] { FAIL() << "fired after the wait ended"; });
    clock.wait(100, [&] { return stop; });
    EXPECT_EQ(clock.tickMs(), 130);

    // Already stopped (the user clicked during the hook): no time passes.
    const auto before = clock.tickMs();
    clock.wait(1000, [&] { return stop; });
    EXPECT_EQ(clock.tickMs(), before);

    // The event hook itself can end the wait.
    stop = false;
    clock.setYieldHook([&] { stop = true; });
    clock.wait(1000, [&] { return stop; });
    EXPECT_EQ(clock.tickMs(), before);
}

}  // namespace
}  // namespace tq
