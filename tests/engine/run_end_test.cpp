// How runs end: the last point, the toggles, a scan that never completes, a
// meter gone silent or lost, each told to the observers with the points the
// store keeps.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/engine_rig.h"

namespace tq::test {
namespace {

TEST(RunToggles, APauseHoldsAfterThePointAndARunToggleEndsAfterIt) {
    for (const bool card : {true, false}) {
        EngineRig rig(card ? sim::Options{} : EngineRig::noCard());
        rig.setChannels({{"DCV", "10V"}});
        std::string held;
        int idles = 0;
        rig.clock.setYieldHook([&] {
            rig.in.hold = rig.in.hold || (rig.shown.point == 2 && held.empty());
            rig.in.on = rig.in.on && rig.shown.redraws.size() < 4;
        });
        rig.clock.setIdleHook([&] {
            if (++idles == 1) {
                held = std::to_string(rig.shown.redraws.size()) + " " +
                       std::to_string(rig.count("TRIG:DEL 0.001"));
            }
            rig.in.hold = idles < 20;
        });
        EXPECT_EQ(rig.run(10), RunOutcome::Stopped);
        EXPECT_EQ(held, "2 2") << card;  // point 2 taken and drawn, none begun after it
        EXPECT_EQ(idles, 20);
        EXPECT_EQ(rig.events.stored.size(), 4u);
        EXPECT_EQ(rig.count("TRIG:DEL 0.001"), 4);
        EXPECT_EQ(rig.events.end, RunEnd::Stopped);
        rig.expectRowsHold();
    }
}

TEST(RunToggles, AStopDuringAHoldEndsTheRunWithoutAnotherPoint) {
    for (const bool closing : {false, true}) {
        EngineRig rig(EngineRig::noCard());
        rig.setChannels({{"DCV", "10V"}});
        rig.clock.setYieldHook([&] { rig.in.hold = rig.in.hold || rig.shown.point == 2; });
        int idles = 0;
        rig.clock.setIdleHook([&] {
            // The run toggle is not looked at during the hold; a closing
            // window ends it at once.
            rig.in.on = ++idles < 3;
            rig.in.stop = closing && idles == 3;
            rig.in.hold = idles < 10;
        });
        EXPECT_EQ(rig.run(10), RunOutcome::Stopped);
        EXPECT_EQ(rig.count("READ?"), 2);
        EXPECT_EQ(rig.count("TRIG:DEL 0.001"), 2);
        EXPECT_EQ(idles, closing ? 3 : 10);
        EXPECT_EQ(rig.events.pointsTaken, 2);
    }
}

TEST(RunToggles, AStopInTheIntervalOrThePollBeginsNoFurtherPoint) {
    enum class StopIn { Nothing, Interval, Poll };
    for (const StopIn stop : {StopIn::Nothing, StopIn::Interval, StopIn::Poll}) {
        EngineRig rig;
        rig.setChannels({{"DCV", "10V"}});
        rig.in.interval = 100000000;  // 1E11 ms: beyond 32 bits
        if (stop == StopIn::Interval) {
            rig.clock.startTimer(10000, [&] { rig.in.on = false; });
        }
        if (stop == StopIn::Poll) {
            // A scan of 1 s takes several polls.
            rig.in.interval = 0.01;
            rig.in.scanTimer = "1";
            rig.clock.setYieldHook([&] {
                rig.in.on = rig.in.on &&
                            !(rig.shown.point == 2 && rig.lines().back() == "Rout:scan:state?");
            });
        }
        rig.run(2);
        // The interval is waited in full unless a stop cuts it short.
        EXPECT_EQ(rig.clock.tickMs() > 100000000000, stop == StopIn::Nothing);
        // After a stop in the interval the meter hears nothing more; a scan
        // abandoned in the poll is not fetched and is no point.
        EXPECT_EQ(rig.count("TRIG:DEL 0.001"), stop == StopIn::Interval ? 1 : 2);
        EXPECT_EQ(rig.count("ROUT:SCAN:STEP"), stop == StopIn::Interval ? 1 : 2);
        EXPECT_EQ(rig.count("fetch?"), stop == StopIn::Nothing ? 2 : 1);
        const int points = stop == StopIn::Nothing ? 2 : 1;
        EXPECT_EQ(rig.events.pointsTaken, points);
        EXPECT_EQ(rig.shown.point, points);
        EXPECT_EQ(rig.shown.scanned, points);
        EXPECT_EQ(rig.store.value(10002, 1).has_value(), points == 2);
        EXPECT_EQ(rig.events.end, stop == StopIn::Nothing ? RunEnd::Completed : RunEnd::Stopped);
    }
}

TEST(RunEnd, AScanThatNeverCompletesEndsTheRunAndKeepsThePoints) {
    EngineRig rig;
    rig.setChannels({{"DCV", "10V"}, {"DCV", "10V"}});
    for (int n = 1; n <= 1000; ++n) {
        rig.scripted.script("Rout:scan:state?", n + 50, replyWith("1\n"));
    }
    EXPECT_EQ(rig.run(100), RunOutcome::ScanNeverDone);
    EXPECT_EQ(rig.events.end, RunEnd::ScanNeverDone);
    ASSERT_GE(rig.events.stored.size(), 2u);
    EXPECT_EQ(rig.shown.point, rig.events.pointsTaken);
    EXPECT_EQ(rig.shown.scanned, rig.events.pointsTaken);
    rig.expectRowsHold();
    // Gave up after the floor of 30 s, not before and not much after.
    const auto& t = rig.meter().transcript();
    const auto step = std::find_if(t.rbegin(), t.rend(),
                                   [](const auto& e) { return e.bytes == "ROUT:SCAN:STEP\n"; });
    const std::int64_t waited = t.back().timeMs - step->timeMs;
    EXPECT_GE(waited, 29500);
    EXPECT_LT(waited, 31000);

    // Ten channels of 5 s each: far beyond the floor, within the limit.
    EngineRig slow;
    slow.setChannels({{"ACV", "10V", "3Hz"}}, 10);
    slow.in.scanTimer = "5";
    slow.in.delay = "0.1";
    EXPECT_EQ(slow.run(1), RunOutcome::Continue);
    EXPECT_GT(slow.count("Rout:scan:state?"), 300);
}

// A meter gone silent ends the run; the observers hear whether the link
// itself was lost. Once the screen has scrolled, the last point taken stays
// at the right edge and every earlier one in the row before it.
TEST(RunEnd, AMeterGoneSilentOrLostEndsTheRunAndKeepsThePoints) {
    for (const bool disconnect : {false, true}) {
        for (const bool card : {false, true}) {
            sim::Options meter;
            meter.card = card;
            if (disconnect) {
                meter.faults.disconnectAfterLines = 240;
            } else {
                meter.faults.dropReply = 1;
            }
            EngineRig rig(meter);
            rig.setChannels({{"DCV", "10V"}});
            rig.in.perScreen = 10;
            EXPECT_EQ(rig.run(100), RunOutcome::MeterSilent);
            EXPECT_EQ(rig.events.end, disconnect ? RunEnd::ConnectionLost : RunEnd::MeterSilent);
            EXPECT_EQ(rig.events.pointsTaken, rig.store.pointsTaken());
            ASSERT_GE(rig.events.failures.size(), 10u);
            EXPECT_EQ(rig.events.failures.back().status,
                      disconnect ? visa::VI_ERROR_CONN_LOST : visa::VI_ERROR_TMO);
            if (disconnect) {
                ASSERT_GT(rig.events.pointsTaken, 12);
                ASSERT_LT(rig.events.pointsTaken, 100);
                // The row after the screen holds no reading.
                EXPECT_EQ(rig.store.value(10012, 1), std::nullopt);
            } else {
                EXPECT_EQ(rig.count(card ? "fetch?" : "READ?"), card ? 0 : 10);
                EXPECT_EQ(rig.shown.readouts[0], std::nullopt);
                EXPECT_EQ(rig.store.value(10001, 1), std::nullopt);
            }
            rig.expectRowsHold();
        }
    }
}

}  // namespace
}  // namespace tq::test
