// The Start command on the program's window: what it locks and unlocks,
// what it tells of the set-up, how a run the window closes ends, and the
// messages of a failed run.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <chrono>
#include <string>

#include "display/scale_controls.h"
#include "engine/run_recorder.h"
#include "panel/line_painter_reference.h"
#include "rules/math_channel.h"
#include "run/run_driver.h"
#include "run/window_rig.h"
#include "store/record_store.h"

namespace tq::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

TEST(RunDriver, LocksTheSetUpForTheRunAndUnlocksItAfter) {
    WindowRig rig;
    Recorder rec;
    rig.form->addRunObserver(&rec);
    rig.useRows(1);
    rig.p.ChkTest[0]->setChecked(false);
    rig.p.ChkPoint->setChecked(true);
    rig.p.ChkMath->setChecked(true);
    rig.p.Cbo1[0]->setEditText("CH1");
    rig.p.Cbo1[1]->setEditText("CH1");
    rig.p.Cbo2->setEditText("加");
    RecordStore& store = rig.form->store();
    store.setValue(10003, 4, 1.5);
    store.setValue(10004, 4, 2.5);
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
        const auto before = rig.linesSent();
        rig.form->runDriver().Command1_Click();
        EXPECT_EQ(rig.linesSent(), before);
    });
    rig.run(2);

    EXPECT_EQ(rec.stored.size(), 2u);
    EXPECT_EQ(rig.p.Text4->text().toStdString(), mathText(*rec.stored[1].values[11]));
    EXPECT_EQ(store.value(10003, 4), std::nullopt);
    EXPECT_EQ(store.value(10004, 4), 2.5);
    for (QWidget* w : locked) {
        EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();
    }
    EXPECT_TRUE(rig.p.FrameMa->isHidden());
    // The pointer is on: the review commands appear.
    EXPECT_FALSE(rig.p.CmdMove2[1]->isHidden());
    EXPECT_FALSE(rig.form->runIsGoing());
    // What the window knows of the set-up.
    const RunSetup& s = *rec.setup;
    EXPECT_EQ(s.resource, rig.form->session().ResourceName);
    EXPECT_EQ(s.serial, "TW00000001");
    EXPECT_EQ(s.interval, rig.p.TxtSleep->text().toStdString());
    EXPECT_EQ(s.pointsPerScreen, 100);
    EXPECT_EQ(s.mathFormula, "(CH1+CH1)*1+0");
}

TEST(RunDriver, AClosingWindowEndsAHeldRunWithoutAnotherPoint) {
    WindowRig rig;
    Recorder rec;
    rig.form->addRunObserver(&rec);
    rig.useRows(1);
    rig.clock.setYieldHook([&] { rig.p.ChkTest[1]->setChecked(rig.p.Text8->text() != "2"); });
    int idles = 0;
    rig.clock.setIdleHook([&] {
        if (++idles == 3) {
            rig.form->requestRunStop();
        }
    });
    rig.run(10);
    EXPECT_EQ(idles, 3);
    EXPECT_EQ(rec.pointsTaken, 2);
    EXPECT_EQ(rig.p.TxtPoint1->text(), "2");
    EXPECT_FALSE(rig.form->runIsGoing());
    // Outside a run there is nothing to stop.
    rig.p.ChkTest[0]->setChecked(true);
    rig.form->requestRunStop();
    EXPECT_TRUE(rig.p.ChkTest[0]->isChecked());
}

// Without a card the channel count and the mode panel stay as start-up left
// them; a meter gone silent and a scan never completed each say so.
TEST(RunDriver, AFailedRunSaysWhyAndKeepsTheWindowUsable) {
    sim::Options noCard;
    noCard.card = false;
    noCard.faults.disconnectAfterLines = 200;
    WindowRig silent(noCard);
    ::testing::internal::CaptureStderr();
    silent.run(100);
    EXPECT_THAT(::testing::internal::GetCapturedStderr(),
                HasSubstr("the connection to the meter was lost; the run was stopped "
                          "(VI_ERROR_CONN_LOST)"));
    EXPECT_THAT(silent.boxes.texts,
                ElementsAre("儀器沒有回應,測試已停止!! (The meter stopped answering; the run was "
                            "stopped.)"));
    EXPECT_EQ(silent.p.Label1[6]->text(), QString::fromUtf8("主  機"));
    EXPECT_EQ(silent.p.TxtChNo->text(), "1");
    EXPECT_FALSE(silent.p.TxtChNo->isEnabled());
    EXPECT_FALSE(silent.p.FrameMa->isHidden());

    WindowRig never;
    never.useRows(2);
    for (int n = 1; n <= 1000; ++n) {
        never.scripted.script("Rout:scan:state?", n + 50, replyWith("1\n"));
    }
    ::testing::internal::CaptureStderr();
    never.run(100);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "tq4700: USB0::0x3A6D::0x0E31::TW00000001::INSTR: the scan never completed; the run "
              "was stopped (VI_SUCCESS)\n");
    EXPECT_THAT(never.boxes.texts,
                ElementsAre("掃描沒有完成,測試已停止!! (The scan never completed; the run was "
                            "stopped.)"));
    for (WindowRig* rig : {&silent, &never}) {
        EXPECT_TRUE(rig->p.Command1->isEnabled());
        EXPECT_TRUE(rig->p.ComSaveFrame->isEnabled());
    }
}

// The run a user watches: ten channels, 10000 points, 1000 per screen.
TEST(RunDriver, TenChannelsForTenThousandPoints) {
    WindowRig rig;
    Recorder rec;
    rig.form->addRunObserver(&rec);
    rig.link.meter->setTranscriptKept(false);
    rig.useRows(10);
    for (std::size_t i = 0; i < 10; ++i) {
        rig.p.CboFunc[i]->setEditText("DCV");
        rig.p.CboRange[i]->setEditText("10V");
        // Raised by half the plot, the meter's +-5 V sines stay inside it.
        rig.p.TxtCal[i]->setText("-2700");
    }
    rig.p.CboPoint->setEditText("1000");
    rig.form->scaleControls().CboPoint_Click();
    const auto started = std::chrono::steady_clock::now();
    rig.run(10000);
    RecordProperty("real_ms", std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(
                                                 std::chrono::steady_clock::now() - started)
                                                 .count()));
    ASSERT_EQ(rec.stored.size(), 10000u);
    EXPECT_TRUE(rig.boxes.texts.empty());
    // Point k in row 1001 + k; the screen shows points 9000..10000.
    const RecordStore& store = rig.form->store();
    for (int k = 1; k <= 10000; ++k) {
        ASSERT_EQ(store.value(1001 + k, 10), rec.taken[static_cast<std::size_t>(k - 1)][10]) << k;
        ASSERT_GT(*store.time(1001 + k), *store.time(1000 + k)) << k;
    }
    EXPECT_EQ(rig.p.LabX[0]->text(), "9000");
    EXPECT_EQ(rig.p.LabX[10]->text(), "10000");
    // Ten traces; the math row is not set up, so math has no value to draw.
    EXPECT_EQ(rig.p.PicScope->segments().size(), 10000u);
    EXPECT_EQ(rig.p.PicScope->segments().back().x2, 9000.0F);
    EXPECT_EQ(rig.p.LabX1[10]->text().toDouble(), *store.time(11001));

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
