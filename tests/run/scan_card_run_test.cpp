#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "run/run_rig.h"

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

QColor background(const QLineEdit* box) {
    return box->palette().color(QPalette::Base);
}

TEST(ScanCardProgramming, EveryPointSendsTheWholeScanSetUpWithItsPauses) {
    RunRig rig;
    rig.setChannels({{"DCV", "10V"}, {"ACV", "1V", "20Hz"}});
    rig.run(2);

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
    const auto& t = rig.meter().transcript();
    const auto at = [&](const std::string& line) {
        return std::ranges::find(t, line + "\n", &sim::TranscriptEntry::bytes)->timeMs;
    };
    EXPECT_EQ(at("ROUT:SCAN:STEP") - at("TRIG:DEL 0.001"), 620);
    // Point times keep two decimals.
    const double time = *rig.store.time(10002);
    EXPECT_NEAR(time * 100, std::round(time * 100), 1e-6);
}

TEST(ScanCardProgramming, RangeValuesBandsCountsAndAnEmptyRun) {
    RunRig rig;
    rig.setChannels({{"2WR", "1K"}, {"DCV", "10V", "3Hz"}, {"DCV", "AUTO"}});
    rig.p.CboScale[0]->setEditText("CH1");
    rig.scaleControls.CboScale_Click(0);
    rig.run(1);
    EXPECT_THAT(from(rig.lines(), "rout:scan:func 1,\"RES\"", 7),
                ElementsAre("rout:scan:func 1,\"RES\"", "SENS:RES:RANG  1000", "SENS:RES:NPLC 1",
                            "rout:scan:func 2,\"VOLT:DC\"", "SENS:VOLT:DC:RANG 10",
                            "rout:scan:func 3,\"VOLT:DC\"", "SENS:VOLT:DC:RANG 10"));
    // Every scanned row's filter counts; no band line without an AC row.
    EXPECT_EQ(rig.driver.state.MinBand, 3);
    EXPECT_EQ(rig.count("DET:BAND 3"), 0);

    RunRig empty;
    empty.setChannels({{"DCV", "10V"}}, 10);
    empty.store.setValue(10001, 1, 7);
    empty.store.setValue(10002, 1, 8);
    empty.run(0);
    EXPECT_EQ(empty.meter().transcript().front().bytes, "Route:scan:count 10\n");
    EXPECT_EQ(empty.lines().size(), 1u);
    EXPECT_EQ(empty.store.value(10001, 1), std::nullopt);
    EXPECT_EQ(empty.store.value(10002, 1), 8.0);
    EXPECT_EQ(empty.store.pointsTaken(), 0);
    EXPECT_TRUE(empty.p.ComSaveFrame->isEnabled());
}

TEST(ScanCardProgramming, AFieldSendsOneCommandWhateverIsTypedAfterIt) {
    RunRig rig;
    rig.setChannels({{"DCV", "10V"}});
    rig.p.TxtTrigDelay->setText("0.1;*RST");
    rig.p.TxtScanTimer->setText("0.3\n*RST;*CLS");
    rig.run(2);
    EXPECT_EQ(rig.count("TRIG:DEL 0.1"), 2);
    EXPECT_EQ(rig.count("ROUT:SCAN:TIMER 0.3"), 2);
    EXPECT_EQ(rig.count("*RST"), 0);
    EXPECT_EQ(rig.points.size(), 2u);
    EXPECT_TRUE(rig.boxes.texts.empty());
}

TEST(ScanCardStore, LongRunsKeepTheNewestScreenAndTheHistoryBelowIt) {
    struct Case {
        int perScreen, length, firstLabel, lastLabel;
    };
    for (const Case c : {Case{10, 25, 15, 25}, Case{100, 102, 2, 102}}) {
        RunRig rig;
        rig.setChannels({{"DCV", "10V"}}, 10);
        rig.setPointsPerScreen(c.perScreen);
        rig.run(c.length);
        ASSERT_EQ(rig.points.size(), static_cast<std::size_t>(c.length));
        for (int k = 1; k <= c.length; ++k) {
            const auto& point = rig.points[static_cast<std::size_t>(k - 1)];
            EXPECT_EQ(point.row, 10000 + std::min(k, c.perScreen + 1));
            // With 25 points of 10: 15..25 in rows 10001..10011, 1..14 below.
            const int row = 10001 + c.perScreen - c.length + k;
            for (int ch = 1; ch <= 10; ++ch) {
                EXPECT_EQ(rig.store.value(row, ch), point.reading[static_cast<std::size_t>(ch)]);
            }
        }
        EXPECT_EQ(rig.p.LabX[0]->text(), QString::number(c.firstLabel));
        EXPECT_EQ(rig.p.LabX[10]->text(), QString::number(c.lastLabel));
        EXPECT_EQ(rig.p.PicScope->segments().back().x2, 9000.0F);
    }
}

TEST(ScanCardStore, OverloadsAreRedOnTopAndReadingsThatAreNoNumberAreNoReading) {
    RunRig rig;
    rig.setChannels({{"DCV", "10V"}}, 5);
    rig.scripted.script("fetch?", 1,
                        replyWith("+9.90000000E+37,+1.0000000E+999,+1.00000000E+00,#$%&'()*+,-./"
                                  "01,-9.90000000E+37\n"));
    rig.run(1);
    EXPECT_EQ(rig.p.TxtDshow[0]->text(), "9.9E+37");
    EXPECT_EQ(background(rig.p.TxtDshow[0]), QColor(255, 0, 0));
    EXPECT_EQ(rig.store.plotY(10001, 1), 0);
    EXPECT_EQ(rig.store.value(10001, 1), 9.9E+37);
    // Beyond a double: no reading, nothing shown.
    EXPECT_TRUE(rig.p.TxtDshow[1]->text().isEmpty());
    EXPECT_EQ(rig.store.value(10001, 2), std::nullopt);
    EXPECT_EQ(background(rig.p.TxtDshow[2]), QColor(255, 255, 255));
    EXPECT_EQ(rig.store.plotY(10001, 3), 4950);
    EXPECT_EQ(rig.store.value(10001, 3), 1.0);
    // Garbage: no reading at all.
    EXPECT_TRUE(rig.p.TxtDshow[3]->text().isEmpty());
    EXPECT_EQ(rig.store.value(10001, 4), std::nullopt);
    // A negative overload lies far below the plot but is kept as sent.
    EXPECT_EQ(rig.store.value(10001, 5), -9.9E+37);
    EXPECT_GT(rig.store.plotY(10001, 5), 5400);
}

TEST(ScanCardStore, TheFirstFrequencyReadingFixesTheScaleAndTheAxis) {
    for (const bool tiny : {false, true}) {
        RunRig rig;
        rig.setChannels({{"Frequency", "1V"}});
        rig.p.CboScale[0]->setEditText("CH1");
        if (tiny) {
            rig.scripted.script("fetch?", 1, replyWith("+2.00000000E-01\n"));
        }
        rig.run(3);
        ASSERT_EQ(rig.points.size(), 3u);
        // 3 x 1050 Hz to one digit; below 1/3 Hz the scale is 0 and every
        // point lies on the bottom edge.
        EXPECT_EQ(rig.scale.FullScaleFreq, tiny ? 0.0 : 3000.0);
        EXPECT_EQ(rig.p.LabY[10]->text(), tiny ? "0." : "3000.");
        if (tiny) {
            EXPECT_EQ(rig.store.plotY(10003, 1), 5400);
        }
    }
}

TEST(ScanCardProgramming, RowsOffTheLeftAxisSendTheirOwnRange) {
    // The left axis shows the DCV row, so no axis translation ever gives the
    // other rows a range value; each must still send its own and read
    // without overloading.
    RunRig rig;
    rig.setChannels({{"DCV", "10V"}, {"Frequency", "10V"}, {"2WR", "10K"}, {"4WR", "100K"}});
    rig.scale.FreqRangeChanged = true;
    rig.run(1);
    EXPECT_EQ(rig.count("SENS:FREQ:VOLT:RANG 10"), 1);
    EXPECT_EQ(rig.count("SENS:RES:RANG  10000"), 1);
    EXPECT_EQ(rig.count("SENS:FRES:RANG  100000"), 1);
    for (int ch = 2; ch <= 4; ++ch) {
        const auto value = rig.store.value(10001, ch);
        ASSERT_TRUE(value.has_value()) << ch;
        EXPECT_GT(*value, 0.0) << ch;
        EXPECT_LT(*value, 1e6) << ch;
    }
}

TEST(ScanCardProgramming, AResistanceRangeChangedOffTheAxisIsSentAndTheAxisKeepsItsScale) {
    RunRig rig;
    rig.setChannels({{"DCV", "10V"}, {"2WR", "1K"}});
    const auto showOnAxis = [&](const char* channel) {
        rig.p.CboScale[0]->setEditText(channel);
        rig.scaleControls.CboScale_Click(0);
    };
    showOnAxis("CH2");
    showOnAxis("CH1");
    // Picked while the axis shows CH1: only CH1 is translated.
    rig.p.CboRange[1]->setEditText("10K");
    rig.scaleControls.CboRange_Click(1);
    rig.run(1);
    EXPECT_EQ(rig.count("SENS:RES:RANG  10000"), 1);
    EXPECT_EQ(rig.count("SENS:RES:RANG  1000"), 0);
    EXPECT_LT(*rig.store.value(10001, 2), 1e5);
    EXPECT_EQ(rig.scale.FullScale2W, 1000.0);
    showOnAxis("CH2");
    EXPECT_EQ(rig.scale.FullScale2W, 10000.0);
}

TEST(ScanCardStore, AFailedFetchStoresNothingAndASlowStateReadIsCounted) {
    RunRig rig;
    rig.setChannels({{"DCV", "10V"}});
    rig.scripted.script("fetch?", 2, timeOut());
    // Offset, so that a reading of 0 would not land on the cleared 5400.
    rig.p.TxtCal[0]->setText("100");
    rig.scripted.script("Rout:scan:state?", 1, slowBy(950));
    rig.run(3);
    ASSERT_EQ(rig.points.size(), 3u);
    EXPECT_EQ(rig.p.Text7->text(), " 1");
    EXPECT_EQ(rig.points[1].readout, "");
    // Point 2 is a gap in the trace: neither segment that would touch it.
    EXPECT_EQ(std::ranges::count(rig.p.PicScope->segments(), QColor(255, 60, 0),
                                 &PlotSurface::Segment::color),
              0);
    EXPECT_EQ(rig.store.value(10002, 1), std::nullopt);
    EXPECT_TRUE(rig.store.time(10002).has_value());
    EXPECT_EQ(rig.store.value(10003, 1), rig.points[2].reading[1]);
    EXPECT_TRUE(rig.boxes.texts.empty());
}

TEST(ScanCardToggles, APauseHoldsAfterThePointAndARunToggleEndsAfterIt) {
    RunRig rig;
    rig.setChannels({{"DCV", "10V"}});
    std::string held;
    int idles = 0;
    rig.clock.setYieldHook([&] {
        if (rig.p.Text5->text() == "2" && held.empty()) {
            rig.p.ChkTest[1]->setChecked(false);
        }
        if (rig.p.Text8->text() == "4") {
            rig.p.ChkTest[0]->setChecked(false);
        }
    });
    rig.clock.setIdleHook([&] {
        if (++idles == 1) {
            held = rig.p.Text8->text().toStdString() + " " +
                   std::to_string(rig.count("TRIG:DEL 0.001")) + " " +
                   std::to_string(rig.plot.LastSegment);
        }
        rig.p.ChkTest[1]->setChecked(idles == 20);
    });
    rig.run(10);
    EXPECT_EQ(held, "2 2 1");  // point 2 taken and drawn, none begun after it
    EXPECT_EQ(idles, 20);
    EXPECT_EQ(rig.points.size(), 4u);
    EXPECT_EQ(rig.count("TRIG:DEL 0.001"), 4);
    EXPECT_TRUE(rig.p.Command1->isEnabled());
}

TEST(ScanCardToggles, AStopInTheIntervalOrThePollBeginsNoFurtherPoint) {
    enum class StopIn { Nothing, Interval, Poll };
    for (const StopIn stop : {StopIn::Nothing, StopIn::Interval, StopIn::Poll}) {
        RunRig rig;
        rig.setChannels({{"DCV", "10V"}});
        rig.p.TxtSleep->setText("100000000");  // 1E11 ms: beyond 32 bits
        if (stop == StopIn::Interval) {
            rig.clock.startTimer(10000, [&] { rig.p.ChkTest[0]->setChecked(false); });
        }
        if (stop == StopIn::Poll) {
            // A scan of 1 s takes several polls.
            rig.p.TxtSleep->setText("0.01");
            rig.p.TxtScanTimer->setText("1");
            rig.clock.setYieldHook([&] {
                if (rig.p.Text5->text() == "2" && rig.lines().back() == "Rout:scan:state?") {
                    rig.p.ChkTest[0]->setChecked(false);
                }
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
        const std::size_t points = stop == StopIn::Nothing ? 2 : 1;
        EXPECT_EQ(rig.points.size(), points);
        EXPECT_EQ(rig.p.Text5->text(), QString::number(points));
        EXPECT_EQ(rig.p.Text8->text(), QString::number(points));
        EXPECT_EQ(rig.p.TxtPoint1->text(), QString::number(points));
        EXPECT_EQ(rig.store.value(10002, 1).has_value(), points == 2);
    }
}

TEST(ScanCardToggles, AScanThatNeverCompletesEndsTheRunAndKeepsThePoints) {
    RunRig rig;
    rig.setChannels({{"DCV", "10V"}, {"DCV", "10V"}});
    for (int n = 1; n <= 1000; ++n) {
        rig.scripted.script("Rout:scan:state?", n + 50, replyWith("1\n"));
    }
    ::testing::internal::CaptureStderr();
    rig.run(100);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "tq4700: USB0::0x3A6D::0x0E31::TW00000001::INSTR: the scan never completed; the run "
              "was stopped (VI_SUCCESS)\n");
    EXPECT_THAT(rig.boxes.texts,
                ElementsAre("掃描沒有完成,測試已停止!! (The scan never completed; the run was "
                            "stopped.)"));
    ASSERT_GE(rig.points.size(), 2u);
    const QString taken = QString::number(rig.points.size());
    EXPECT_EQ(rig.p.Text5->text(), taken);
    EXPECT_EQ(rig.p.Text8->text(), taken);
    for (const auto& point : rig.points) {
        EXPECT_EQ(rig.store.value(point.row, 2), point.reading[2]);
    }
    // Gave up after the floor of 30 s, not before and not much after.
    const auto& t = rig.meter().transcript();
    const auto step = std::find_if(t.rbegin(), t.rend(),
                                   [](const auto& e) { return e.bytes == "ROUT:SCAN:STEP\n"; });
    const std::int64_t waited = t.back().timeMs - step->timeMs;
    EXPECT_GE(waited, 29500);
    EXPECT_LT(waited, 31000);
    EXPECT_TRUE(rig.p.Command1->isEnabled());
}

TEST(ScanCardToggles, ASlowScanIsWaitedFor) {
    // Ten channels of 5 s each: far beyond the floor, within the limit.
    RunRig rig;
    rig.setChannels({{"ACV", "10V", "3Hz"}}, 10);
    rig.p.TxtScanTimer->setText("5");
    rig.p.TxtTrigDelay->setText("0.1");
    rig.run(1);
    EXPECT_TRUE(rig.boxes.texts.empty());
    ASSERT_EQ(rig.points.size(), 1u);
    EXPECT_GT(rig.count("Rout:scan:state?"), 300);
}

TEST(ScanCardToggles, AMeterThatStopsAnsweringEndsTheRunAndKeepsThePoints) {
    sim::Options meter;
    meter.faults.disconnectAfterLines = 30;
    RunRig rig(meter);
    rig.setChannels({{"DCV", "10V"}});
    rig.run(100);
    EXPECT_THAT(rig.boxes.texts,
                ElementsAre("儀器沒有回應,測試已停止!! (The meter stopped answering; the run was "
                            "stopped.)"));
    ASSERT_GE(rig.points.size(), 2u);
    ASSERT_LT(rig.points.size(), 10u);
    for (const auto& point : rig.points) {
        EXPECT_EQ(rig.store.value(point.row, 1), point.reading[1]);
    }
    EXPECT_TRUE(rig.p.ComSaveFrame->isEnabled());
    EXPECT_FALSE(rig.driver.isRunning());
}

}  // namespace
}  // namespace tq::test
