#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "run/run_rig.h"

namespace tq::test {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

sim::Options noCard() {
    sim::Options meter;
    meter.card = false;
    return meter;
}

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
        RunRig rig(c.card ? sim::Options{} : noCard());
        rig.p.ChkScanMode->setChecked(false);
        rig.setChannels({c.row});
        rig.p.TxtChNo->setText("10");
        rig.p.CboScale[0]->setEditText("CH1");
        rig.scaleControls.CboScale_Click(0);
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
        EXPECT_EQ(rig.p.TxtChNo->text(), "1");
        EXPECT_TRUE(rig.points.empty());  // no math without the card
        // The run clock starts with the first point; times keep milliseconds.
        EXPECT_EQ(rig.store.time(10001), c.times.back() / 1000.0);
        for (int row = 10001; row <= 10003; ++row) {
            EXPECT_GT(*rig.store.value(row, 1), 0.0) << c.row.function;
        }
        EXPECT_EQ(rig.p.Label1[6]->text(), QString::fromUtf8("主  機"));
        // Without a card the channel count and the mode panel stay locked.
        EXPECT_EQ(rig.p.TxtChNo->isEnabled(), c.card);
        EXPECT_EQ(rig.p.FrameMa->isHidden(), c.card);
    }
}

TEST(MainUnitRun, AResistanceRowOffTheLeftAxisSendsItsOwnRange) {
    RunRig rig;  // a card, with the mode switch off
    rig.p.ChkScanMode->setChecked(false);
    rig.setChannels({{"2WR", "10K"}, {"DCV", "10V"}});
    rig.p.CboScale[0]->setEditText("CH2");
    rig.scaleControls.CboScale_Click(0);
    rig.run(1);
    EXPECT_EQ(rig.count("CONF:RES  10000"), 1);
    EXPECT_GT(*rig.store.value(10001, 1), 0.0);
    EXPECT_LT(*rig.store.value(10001, 1), 1e5);
}

TEST(MainUnitRun, OverloadsKeepTheTraceAndFailedReadsAreNoReading) {
    RunRig rig(noCard());
    rig.setChannels({{"DCV", "10V"}});
    rig.scripted.script("READ?", 2, replyWith("+9.90000000E+37\n"));
    rig.scripted.script("READ?", 3, timeOut());
    rig.scripted.script("READ?", 4, replyWith("-9.90000000E+37\n"));
    // Offset, so that a reading of 0 would not land on the cleared 5400.
    rig.p.TxtCal[0]->setText("100");
    std::vector<std::string> readouts;
    rig.plot.setRunMarkerHook([&](std::int32_t, RunMode) {
        readouts.push_back(rig.p.TxtDshow[0]->text().toStdString());
    });
    rig.p.ChkPoint->setChecked(true);
    rig.run(5);

    EXPECT_EQ(rig.store.value(10002, 1), 9.9E+37);
    EXPECT_EQ(rig.store.plotY(10002, 1), rig.store.plotY(10001, 1));
    EXPECT_EQ(rig.store.value(10003, 1), std::nullopt);
    EXPECT_TRUE(rig.store.time(10003).has_value());
    EXPECT_EQ(rig.store.value(10004, 1), -9.9E+37);  // far below the plot, kept as sent
    EXPECT_TRUE(rig.store.value(10005, 1).has_value());
    ASSERT_EQ(readouts.size(), 4u);  // the marker is placed from point 2 on
    EXPECT_EQ(readouts[0], "9.9E+37");
    EXPECT_EQ(readouts[1], "");
    EXPECT_TRUE(rig.boxes.texts.empty());
}

TEST(MainUnitRun, AStopDuringAPauseEndsTheRunWithoutAnotherPoint) {
    RunRig rig(noCard());
    rig.setChannels({{"DCV", "10V"}});
    int idles = 0;
    rig.clock.setYieldHook([&] {
        if (idles == 0 && rig.p.Text5->text() == "2") {
            rig.p.ChkTest[1]->setChecked(false);
        }
    });
    rig.clock.setIdleHook([&] {
        ++idles;
        rig.p.ChkTest[0]->setChecked(idles < 3);
        rig.p.ChkTest[1]->setChecked(idles == 10);
    });
    rig.run(10);
    EXPECT_EQ(rig.count("READ?"), 2);
    EXPECT_EQ(rig.count("TRIG:DEL 0.001"), 2);
    EXPECT_EQ(rig.p.Text5->text(), "2");
    EXPECT_EQ(idles, 10);
}

TEST(MainUnitRun, AMeterThatNeverAnswersEndsTheRunWithAMessage) {
    sim::Options meter = noCard();
    meter.faults.dropReply = 1;
    RunRig rig(meter);
    rig.setChannels({{"DCV", "10V"}});
    rig.run(100);
    EXPECT_EQ(rig.count("READ?"), 10);
    EXPECT_EQ(rig.boxes.texts.size(), 1u);
    EXPECT_EQ(rig.p.TxtDshow[0]->text(), "");
    EXPECT_EQ(rig.store.value(10001, 1), std::nullopt);
    EXPECT_TRUE(rig.p.Command1->isEnabled());
}

}  // namespace
}  // namespace tq::test
