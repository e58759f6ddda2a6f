#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "engine/engine_rig.h"

namespace tq::test {
namespace {

using ::testing::ElementsAre;

// The lines from `first` on.
std::vector<std::string> from(const std::vector<std::string>& lines, const std::string& first,
                              std::size_t count) {
    const auto it = std::ranges::find(lines, first);
    const auto n = std::min<std::ptrdiff_t>(lines.end() - it, static_cast<std::ptrdiff_t>(count));
    return {it, it + n};
}

TEST(ScanCardProgramming, EveryPointSendsTheWholeScanSetUpWithItsPauses) {
    EngineRig rig;
    rig.setChannels({{"DCV", "10V"}, {"ACV", "1V", "200Hz"}});
    rig.in.mathInputs = MathInputs{
        .setup = {.MathChannelA = 1, .MathChannelB = 2, .MathOperator = 2}, .onRightAxis = true};
    EXPECT_EQ(rig.run(2), RunOutcome::Continue);

    const auto lines = rig.lines();
    EXPECT_EQ(lines.front(), "Route:scan:count 2");
    EXPECT_EQ(rig.count("Route:scan:count 2"), 1);
    EXPECT_EQ(rig.count("TRIG:DEL 0.001"), 2);
    EXPECT_THAT(
        from(lines, "TRIG:DEL 0.001", 9),
        ElementsAre("TRIG:DEL 0.001", "ROUT:SCAN:TIMER 0.01", "rout:scan:func 1,\"VOLT:DC\"",
                    "SENS:VOLT:DC:RANG 10", "rout:scan:func 2,\"VOLT:AC\"", "SENS:VOLT:AC:RANG 1",
                    "DET:BAND 20", "ROUT:SCAN:STEP", "Rout:scan:state?"));
    // Polls until the scan is done, then one fetch.
    const auto step = std::ranges::find(lines, "ROUT:SCAN:STEP");
    const auto fetch = std::find(step, lines.end(), "fetch?");
    EXPECT_TRUE(
        std::all_of(step + 1, fetch, [](const auto& l) { return l == "Rout:scan:state?"; }));
    // Two 50 ms waits, ten 40 ms slots, 40 ms inside a channel's lines.
    EXPECT_EQ(rig.sentAt("ROUT:SCAN:STEP") - rig.sentAt("TRIG:DEL 0.001"), 620);
    // Point times keep two decimals.
    const double time = *rig.store.time(10002);
    EXPECT_NEAR(time * 100, std::round(time * 100), 1e-6);
    EXPECT_EQ(rig.shown.scanned, 2);
    EXPECT_EQ(rig.shown.progress, 2);
    rig.expectRowsHold();
    // The set-up as the first point sent it, told before the point.
    const Recorder& rec = rig.events;
    EXPECT_EQ(rec.order.substr(0, 2), "SP");
    const RunSetup& s = *rec.setup;
    EXPECT_EQ(s.mode, RunMode::ScanCard);
    ASSERT_EQ(s.channels.size(), 2u);
    EXPECT_EQ(s.channels[1].channel, 2);
    EXPECT_EQ(s.channels[1].function + s.channels[1].rangeText + s.channels[1].filter,
              "ACV1V200Hz");
    EXPECT_EQ(s.channels[0].rangeValue, 10.0);
    EXPECT_EQ(s.band, 20);
    EXPECT_EQ(s.triggerDelay + " " + s.scanTime, "0.001 0.01");
    EXPECT_EQ(s.recordLength, 2);
    EXPECT_EQ(s.mathFormula, "(CH1-CH2)*1+0");
    EXPECT_EQ(rec.stored[0].values[11], *rec.taken[0][1] - *rec.taken[0][2]);
    EXPECT_EQ(rec.end, RunEnd::Completed);
}

TEST(ScanCardProgramming, RangeValuesBandsCountsAndAnEmptyRun) {
    EngineRig rig;
    rig.setChannels({{"2WR", "1K"}, {"DCV", "10V", "3Hz"}, {"DCV", "AUTO"}});
    rig.run(1);
    EXPECT_THAT(from(rig.lines(), "rout:scan:func 1,\"RES\"", 7),
                ElementsAre("rout:scan:func 1,\"RES\"", "SENS:RES:RANG  1000", "SENS:RES:NPLC 1",
                            "rout:scan:func 2,\"VOLT:DC\"", "SENS:VOLT:DC:RANG 10",
                            "rout:scan:func 3,\"VOLT:DC\"", "SENS:VOLT:DC:RANG 10"));
    // Every scanned row's filter counts; no band line without an AC row.
    EXPECT_EQ(rig.state.MinBand, 3);
    EXPECT_EQ(rig.count("DET:BAND 3"), 0);

    // A run of none clears its one row and sends the count alone.
    EngineRig empty;
    empty.setChannels({{"DCV", "10V"}}, 10);
    empty.store.setValue(10001, 1, 7);
    empty.store.setValue(10002, 1, 8);
    empty.run(0);
    EXPECT_EQ(empty.lines(), std::vector<std::string>{"Route:scan:count 10"});
    EXPECT_EQ(empty.store.value(10001, 1), std::nullopt);
    EXPECT_EQ(empty.store.value(10002, 1), 8.0);
    EXPECT_EQ(empty.store.pointsTaken(), 0);
    EXPECT_EQ(empty.events.order, "SE");
    EXPECT_EQ(empty.events.setup->recordLength, 0);
    EXPECT_EQ(empty.events.end, RunEnd::Completed);
}

// A field reaches the meter as one command whatever is typed after it, and
// a delay typed during a run reaches the next point.
TEST(ScanCardProgramming, FieldsAreSentAsTheyStandAtEachPoint) {
    EngineRig rig;
    rig.setChannels({{"DCV", "10V"}});
    rig.in.delay = "0.1;*RST";
    rig.in.scanTimer = "0.3\n*RST;*CLS";
    rig.clock.setYieldHook([&] {
        if (rig.shown.scanned == 2) {
            rig.in.delay = "0.2";
        }
    });
    EXPECT_EQ(rig.run(3), RunOutcome::Continue);
    EXPECT_EQ(rig.count("TRIG:DEL 0.1"), 2);
    EXPECT_EQ(rig.count("TRIG:DEL 0.2"), 1);
    EXPECT_EQ(rig.count("ROUT:SCAN:TIMER 0.3"), 3);
    EXPECT_EQ(rig.count("*RST"), 0);
    EXPECT_EQ(rig.events.stored.size(), 3u);
}

TEST(ScanCardStore, LongRunsKeepTheNewestScreenAndTheHistoryBelowIt) {
    for (const auto& [perScreen, length] : {std::pair{10, 25}, std::pair{100, 102}}) {
        EngineRig rig;
        rig.setChannels({{"DCV", "10V"}}, 10);
        rig.in.perScreen = perScreen;
        rig.run(length);
        ASSERT_EQ(rig.events.stored.size(), static_cast<std::size_t>(length));
        rig.expectRowsHold();
    }
}

TEST(ScanCardStore, OverloadsAndFieldsThatAreNoNumber) {
    EngineRig rig;
    rig.setChannels({{"DCV", "10V"}}, 5);
    rig.scripted.script("fetch?", 2,
                        replyWith("+9.90000000E+37,+1.0000000E+999,+1.00000000E+00,#$%&'()*+,-./"
                                  "01,-9.90000000E+37\n"));
    rig.scripted.script("fetch?", 1, replyWith("garbage that holds no number at all!!\n"));
    rig.run(2);
    EXPECT_EQ(rig.shown.readouts[0], 9.9E+37);
    EXPECT_EQ(rig.store.plotY(10002, 1), 0);
    EXPECT_EQ(rig.store.value(10002, 1), 9.9E+37);
    // Beyond a double, or garbage: no reading, nothing shown.
    EXPECT_EQ(rig.shown.readouts[1], std::nullopt);
    EXPECT_EQ(rig.store.value(10002, 2), std::nullopt);
    EXPECT_EQ(rig.store.plotY(10002, 3), 4950);
    EXPECT_EQ(rig.store.value(10002, 3), 1.0);
    EXPECT_EQ(rig.shown.readouts[3], std::nullopt);
    EXPECT_EQ(rig.store.value(10002, 4), std::nullopt);
    // A negative overload lies far below the plot but is kept as sent.
    EXPECT_EQ(rig.store.value(10002, 5), -9.9E+37);
    EXPECT_GT(rig.store.plotY(10002, 5), 5400);
    ASSERT_EQ(rig.events.failures.size(), 1u);
    EXPECT_EQ(rig.events.failures[0].point, 1);
    EXPECT_EQ(rig.events.failures[0].why, ReadFailure::NoNumber);
    rig.expectRowsHold();
}

TEST(ScanCardStore, TheFirstFrequencyReadingFixesTheScaleAndTheAxis) {
    for (const bool tiny : {false, true}) {
        EngineRig rig;
        rig.setChannels({{"Frequency", "1V"}});
        rig.shown.leftAxis = 1;
        if (tiny) {
            rig.scripted.script("fetch?", 1, replyWith("+2.00000000E-01\n"));
        }
        rig.run(3);
        // 3 x 1050 Hz to one digit; below 1/3 Hz the scale is 0 and every
        // point lies on the bottom edge.
        EXPECT_EQ(rig.scale.FullScaleFreq, tiny ? 0.0 : 3000.0);
        EXPECT_EQ(rig.shown.axisRefreshes, std::vector<int>{1});
        EXPECT_EQ(rig.state.ScaleChannel, 1);
        if (tiny) {
            EXPECT_EQ(rig.store.plotY(10003, 1), 5400);
        }
    }
}

// No axis translation gives a row off the left axis a range value; each
// must still send its own and read without overloading. A resistance range
// changed while the axis shows another row leaves the axis its scale.
TEST(ScanCardProgramming, RowsOffTheLeftAxisSendTheirOwnRange) {
    EngineRig rig;
    rig.setChannels({{"DCV", "10V"}, {"Frequency", "10V"}, {"2WR", "10K"}, {"4WR", "100K"}});
    TransRange(rig.scale, "2WR", "1K");
    rig.scale.FreqRangeChanged = true;
    rig.run(1);
    EXPECT_EQ(rig.count("SENS:FREQ:VOLT:RANG 10"), 1);
    EXPECT_EQ(rig.count("SENS:RES:RANG  10000"), 1);
    EXPECT_EQ(rig.count("SENS:RES:RANG  1000"), 0);
    EXPECT_EQ(rig.count("SENS:FRES:RANG  100000"), 1);
    EXPECT_EQ(rig.scale.FullScale2W, 1000.0);
    for (int ch = 2; ch <= 4; ++ch) {
        const auto value = rig.store.value(10001, ch);
        ASSERT_TRUE(value.has_value()) << ch;
        EXPECT_GT(*value, 0.0) << ch;
        EXPECT_LT(*value, 1e6) << ch;
    }
}

TEST(ScanCardStore, AFailedFetchStoresNothingAndASlowStateReadIsCounted) {
    EngineRig rig;
    // Offset, so that a reading of 0 would not land on the cleared 5400.
    rig.setChannels({{"DCV", "10V", "20Hz", 100}});
    rig.scripted.script("fetch?", 2, timeOut());
    rig.scripted.script("Rout:scan:state?", 1, slowBy(950));
    EXPECT_EQ(rig.run(3), RunOutcome::Continue);
    EXPECT_EQ(rig.shown.slow, 1);
    EXPECT_EQ(rig.shown.ch1AtRedraw[1], std::nullopt);
    EXPECT_EQ(rig.store.value(10002, 1), std::nullopt);
    EXPECT_TRUE(rig.store.time(10002).has_value());
    ASSERT_EQ(rig.events.failures.size(), 1u);
    EXPECT_EQ(rig.events.failures[0].point, 2);
    EXPECT_EQ(rig.events.failures[0].why, ReadFailure::TimedOut);
    rig.expectRowsHold();
}

// A count the field ignored while it was typed is not what the card scans:
// the run scans the rows in use and says so.
TEST(ScanCardProgramming, AChannelCountOutsideOneToTenScansTheRowsInUse) {
    for (const double typed : {12.0, std::numeric_limits<double>::infinity(), -1.0, 0.0}) {
        EngineRig rig;
        rig.setChannels({{"DCV", "10V"}, {"ACV", "1V"}, {"DCV", "1V"}});
        rig.in.channels = typed;
        EXPECT_EQ(rig.run(2), RunOutcome::Continue) << typed;
        EXPECT_EQ(rig.count("Route:scan:count 3"), 1) << typed;
        EXPECT_EQ(rig.shown.channels, 3) << typed;
        EXPECT_TRUE(rig.store.value(10002, 3).has_value()) << typed;
        rig.expectRowsHold();
    }
}

}  // namespace
}  // namespace tq::test
