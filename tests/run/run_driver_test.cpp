#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "panel/line_painter_reference.h"
#include "run/run_rig.h"

namespace tq::test {
namespace {

TEST(RunDriver, LocksTheSetUpForTheRunAndUnlocksItAfter) {
    RunRig rig;
    rig.setChannels({{"DCV", "10V"}});
    rig.p.ChkTest[0]->setChecked(false);
    rig.p.ChkPoint->setChecked(true);
    rig.store.setValue(10003, 4, 1.5);
    rig.store.setValue(10004, 4, 2.5);
    const std::vector<QWidget*> locked{rig.p.Command1, rig.p.ComSaveFrame, rig.p.CboFunc[3],
                                       rig.p.TxtChNo,  rig.p.CboPoint,     rig.p.TxtRecordLen,
                                       rig.p.CmdEnd};
    int looks = 0;
    rig.clock.setYieldHook([&] {
        if (looks++ > 0) {
            return;
        }
        for (QWidget* w : locked) {
            EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
        }
        EXPECT_TRUE(rig.p.CmdMove1[1]->isHidden());
        EXPECT_EQ(rig.p.TxtCurPoint->text(), "50");
        EXPECT_EQ(rig.p.LabX1[4]->text(), "---");
        EXPECT_EQ(rig.p.LabX[10]->text(), "101");
        EXPECT_EQ(rig.p.Label1[6]->text(), QString::fromUtf8("掃描卡"));
        EXPECT_FALSE(rig.p.FrameMa->isHidden());
        EXPECT_TRUE(rig.p.ChkTest[0]->isChecked());
        // A second click while the run goes is ignored.
        const auto before = rig.lines().size();
        rig.driver.Command1_Click();
        EXPECT_EQ(rig.lines().size(), before);
    });
    int ends = 0;
    rig.driver.hooks.onRunEnd = [&] { ++ends; };
    rig.driver.hooks.runFinished = [&] { EXPECT_FALSE(rig.driver.isRunning()); };
    rig.driver.connectEvents();
    rig.p.TxtRecordLen->setText("2");
    rig.p.Command1->click();

    EXPECT_EQ(rig.points.size(), 2u);
    // Rows 10001 .. 10000 + L + 1 are cleared, the rest kept.
    EXPECT_EQ(rig.store.value(10003, 4), std::nullopt);
    EXPECT_EQ(rig.store.value(10004, 4), 2.5);
    for (QWidget* w : locked) {
        EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();
    }
    EXPECT_TRUE(rig.p.FrameMa->isHidden());
    // The pointer is on: the review commands appear.
    EXPECT_EQ(ends, 1);
    EXPECT_FALSE(rig.p.CmdMove2[1]->isHidden());
}

TEST(RunDriver, AClosingWindowEndsAHeldRunWithoutAnotherPoint) {
    RunRig rig;
    rig.setChannels({{"DCV", "10V"}});
    rig.clock.setYieldHook([&] { rig.p.ChkTest[1]->setChecked(rig.p.Text8->text() != "2"); });
    int idles = 0;
    rig.clock.setIdleHook([&] {
        if (++idles == 3) {
            rig.driver.requestStop();
        }
    });
    rig.run(10);
    EXPECT_EQ(idles, 3);
    EXPECT_EQ(rig.points.size(), 2u);
    EXPECT_FALSE(rig.driver.isRunning());
    // Outside a run there is nothing to stop.
    rig.p.ChkTest[0]->setChecked(true);
    rig.driver.requestStop();
    EXPECT_TRUE(rig.p.ChkTest[0]->isChecked());
}

// The run a user watches: ten channels, 10000 points, 1000 per screen.
TEST(RunDriver, TenChannelsForTenThousandPoints) {
    RunRig rig;
    rig.meter().setTranscriptKept(false);
    rig.setChannels({{"DCV", "10V"}}, 10);
    // Raised by half the plot, the meter's +-5 V sines stay inside it.
    for (QLineEdit* cal : rig.p.TxtCal) {
        cal->setText("-2700");
    }
    rig.setPointsPerScreen(1000);
    const auto started = std::chrono::steady_clock::now();
    rig.run(10000);
    RecordProperty("real_ms", std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(
                                                 std::chrono::steady_clock::now() - started)
                                                 .count()));
    ASSERT_EQ(rig.points.size(), 10000u);
    EXPECT_TRUE(rig.boxes.texts.empty());
    // Point k in row 1001 + k; the screen shows points 9000..10000.
    for (int k = 1; k <= 10000; ++k) {
        const auto& point = rig.points[static_cast<std::size_t>(k - 1)];
        ASSERT_EQ(rig.store.value(1001 + k, 10), point.reading[10]) << k;
        ASSERT_GT(*rig.store.time(1001 + k), *rig.store.time(1000 + k)) << k;
    }
    EXPECT_EQ(rig.p.LabX[0]->text(), "9000");
    EXPECT_EQ(rig.p.LabX[10]->text(), "10000");
    // Ten traces; the math row is not set up, so math has no value to draw.
    EXPECT_EQ(rig.p.PicScope->segments().size(), 10000u);
    EXPECT_EQ(rig.p.LabX1[10]->text().toDouble(), *rig.store.time(11001));

    // The plot draws its own lines: the picture must be the one QPainter
    // draws from the same segments. Every trace lies inside the plot (no
    // overload, nothing below the bottom edge, no point missing), where the
    // picture's rules are settled.
    for (const PlotSurface::Segment& s : rig.p.PicScope->segments()) {
        ASSERT_GT(s.y2, 0.0F);
        ASSERT_LE(s.y2, 5400.0F);
    }
    QPoint first;
    EXPECT_EQ(
        differingPixels(paintedByPlot(*rig.p.PicScope), paintedByQPainter(*rig.p.PicScope), &first),
        0)
        << "first at " << first.x() << "," << first.y();
}

}  // namespace
}  // namespace tq::test
