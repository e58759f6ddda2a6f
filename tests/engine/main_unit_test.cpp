#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/engine_rig.h"

namespace tq::test {
namespace {

using ::testing::ElementsAreArray;

TEST(MainUnitRun, ConfiguresCh1AndReadsOnePointAtATime) {
    struct Case {
        Row row;
        std::vector<std::string> lines;
        std::vector<std::int64_t> times;
        bool card = false;  // fitted, but the mode switch is off
    };
    const std::vector<Case> cases{
        {{"ACV", "100V", "3Hz"},
         {"CONF:VOLT:AC 100", "DET:BAND 3", "READ?"},
         {0, 50, 100, 150, 250}},
        {{"Frequency", "10V", "20Hz"},
         {"CONF:FREQ DEF", "DET:BAND 20", "SENS:FREQ:APER 0.1", "READ?"},
         {0, 50, 100, 150, 200, 250}},
        {{"2WR", "1M"},
         {"CONF:RES  1000000", "SENS:RES:NPLC 1", "READ?"},
         {0, 50, 100, 140, 190},
         true},
    };
    for (const Case& c : cases) {
        EngineRig rig(c.card ? sim::Options{} : EngineRig::noCard());
        rig.mode = RunMode::MainUnit;
        rig.setChannels({c.row});
        rig.in.channels = 10;
        rig.shown.leftAxis = 1;
        rig.run(3);

        std::vector<std::string> expected{"TRIG:DEL 0.001", "TRIGger:Source IMM"};
        expected.insert(expected.end(), c.lines.begin(), c.lines.end());
        const auto lines = rig.lines();
        EXPECT_THAT(std::vector(lines.begin(), lines.begin() + std::ssize(expected)),
                    ElementsAreArray(expected));
        const auto& t = rig.meter().transcript();
        std::vector<std::int64_t> times;
        for (std::size_t i = 0; i < c.times.size(); ++i) {
            times.push_back(t[i].timeMs - t[0].timeMs);
        }
        EXPECT_EQ(times, c.times) << c.row.function;
        EXPECT_EQ(rig.count("READ?"), 3);
        EXPECT_EQ(rig.shown.channels, 1);
        EXPECT_EQ(rig.shown.math, std::nullopt);
        // The run clock starts with the first point; times keep milliseconds.
        EXPECT_EQ(rig.store.time(10001), c.times.back() / 1000.0);
        for (int row = 10001; row <= 10003; ++row) {
            EXPECT_GT(*rig.store.value(row, 1), 0.0) << c.row.function;
        }
        rig.expectRowsHold();
    }
}

TEST(MainUnitRun, AResistanceRowOffTheLeftAxisSendsItsOwnRange) {
    EngineRig rig;  // a card, with the mode switch off
    rig.mode = RunMode::MainUnit;
    rig.setChannels({{"2WR", "10K"}, {"DCV", "10V"}});
    TransRange(rig.scale, "DCV", "10V");  // the left axis shows CH2
    rig.run(1);
    EXPECT_EQ(rig.count("CONF:RES  10000"), 1);
    EXPECT_GT(*rig.store.value(10001, 1), 0.0);
    EXPECT_LT(*rig.store.value(10001, 1), 1e5);
}

TEST(MainUnitRun, OverloadsKeepTheTraceAndFailedReadsAreNoReading) {
    EngineRig rig(EngineRig::noCard());
    // Offset, so that a reading of 0 would not land on the cleared 5400.
    rig.setChannels({{"DCV", "10V", "20Hz", 100}});
    rig.in.mathInputs = MathInputs{
        .setup = {.MathChannelA = 1, .MathChannelB = 1, .MathOperator = 1}, .onRightAxis = true};
    rig.scripted.script("READ?", 2, replyWith("+9.90000000E+37\n"));
    rig.scripted.script("READ?", 3, timeOut());
    rig.scripted.script("READ?", 4, replyWith("-9.90000000E+37\n"));
    rig.scripted.script("READ?", 5, replyWith("no number\n"));
    EXPECT_EQ(rig.run(6), RunOutcome::Continue);

    EXPECT_EQ(rig.store.value(10002, 1), 9.9E+37);
    EXPECT_EQ(rig.store.plotY(10002, 1), rig.store.plotY(10001, 1));
    EXPECT_EQ(rig.store.value(10003, 1), std::nullopt);
    EXPECT_TRUE(rig.store.time(10003).has_value());
    EXPECT_EQ(rig.store.value(10004, 1), -9.9E+37);  // far below the plot, kept as sent
    EXPECT_EQ(rig.store.value(10005, 1), std::nullopt);
    EXPECT_TRUE(rig.store.value(10006, 1).has_value());
    EXPECT_EQ(rig.shown.ch1AtRedraw,
              (std::vector<std::optional<double>>{rig.events.taken[0][1], 9.9E+37, std::nullopt,
                                                  -9.9E+37, std::nullopt, rig.events.taken[5][1]}));
    EXPECT_EQ(rig.events.order, "SPRWPRWPFWPRWPFWPRWE");
    ASSERT_EQ(rig.events.failures.size(), 2u);
    EXPECT_EQ(rig.events.failures[0].why, ReadFailure::TimedOut);
    EXPECT_EQ(rig.events.failures[1].why, ReadFailure::NoNumber);
    EXPECT_EQ(rig.events.started, (std::vector<std::int32_t>{1, 2, 3, 4, 5, 6}));
    // No scan time and no math without the card.
    EXPECT_EQ(rig.events.setup->mode, RunMode::MainUnit);
    EXPECT_EQ(rig.events.setup->channels.at(0).rangeValue, 10.0);
    EXPECT_EQ(rig.events.setup->scanTime, "");
    EXPECT_EQ(rig.events.setup->mathFormula, std::nullopt);
    EXPECT_EQ(rig.events.stored[0].values[11], std::nullopt);
    rig.expectRowsHold();
}

// An overload at a run's first point takes no plot position the run before
// left.
TEST(MainUnitRun, AnOverloadFirstTakesNoPositionFromTheLastRun) {
    EngineRig rig(EngineRig::noCard());
    rig.setChannels({{"DCV", "10V", "20Hz", 100}});
    rig.scripted.script("READ?", 2, replyWith("+9.90000000E+37\n"));
    rig.run(1);
    ASSERT_NE(rig.store.plotY(10001, 1), 0);
    rig.run(1);
    EXPECT_EQ(rig.store.plotY(10001, 1), 0);
}

}  // namespace
}  // namespace tq::test
