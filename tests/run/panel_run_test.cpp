// The window's side of a run: its inputs read from the controls when the
// run asks, and what it shows on them.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include "display/scale_controls.h"
#include "display/trend_plot.h"
#include "rules/scale.h"
#include "run/panel_run_display.h"
#include "run/panel_run_inputs.h"
#include "run/window_rig.h"

namespace tq::test {
namespace {

QColor background(const QLineEdit* box) {
    return box->palette().color(QPalette::Base);
}

TEST(PanelRunInputs, ReadTheControlsAsTheyStandWhenAsked) {
    WindowRig rig;
    Panel& p = rig.p;
    const bool stop = false;
    const PanelRunInputs in(p, rig.form->trendPlot(), stop);
    rig.useRows(2);
    p.TxtTrigDelay->setText("0.1;*RST");
    p.CboFunc[1]->setEditText("ACV");
    p.CboRange[1]->setEditText("1V");
    p.CboFilter[1]->setEditText("200Hz");
    p.TxtCal[1]->setText("-5");
    p.TxtSleep->setText("2.5");
    p.TxtRecordLen->setText("7");
    p.ChkTest[1]->setChecked(false);
    p.ChkMath->setChecked(false);
    EXPECT_EQ(in.triggerDelayText(), "0.1;*RST");
    EXPECT_EQ(in.scanTimeText(), "0.01");
    EXPECT_EQ(in.scanTime(), 0.01);
    EXPECT_EQ(in.function(1) + in.range(1) + in.filter(1), "ACV1V200Hz");
    EXPECT_EQ(in.calibration(1), -5);
    EXPECT_EQ(in.intervalSeconds(), 2.5);
    EXPECT_EQ(in.recordLength(), 7);
    EXPECT_EQ(in.channelCount(), 2);
    EXPECT_EQ(in.pointsPerScreen(), 100);
    EXPECT_TRUE(in.rowInUse(1));
    EXPECT_FALSE(in.rowInUse(2));
    EXPECT_TRUE(in.held());
    EXPECT_EQ(in.math(), std::nullopt);

    p.ChkMath->setChecked(true);
    p.Cbo1[0]->setEditText("CH3");
    p.Cbo2->setEditText("減");
    p.Cbo1[1]->setEditText("CH1");
    p.Text2->setText("2");
    p.Text3->setText("1");
    const auto chosen = [&] {
        const MathInputs m = in.math().value();
        return std::vector<double>{double(m.setup.MathChannelA),
                                   double(m.setup.MathOperator),
                                   double(m.setup.MathChannelB),
                                   m.factor,
                                   m.offset,
                                   double(m.onRightAxis)};
    };
    EXPECT_EQ(chosen(), (std::vector<double>{3, 2, 1, 2, 1, 1}));
    // A cleared operand keeps its channel; a typed text names nothing.
    p.Cbo1[0]->setEditText("");
    p.Cbo2->setEditText("mod");
    p.CboScale[1]->setEditText("CH2");
    EXPECT_EQ(chosen(), (std::vector<double>{3, 2, 1, 2, 1, 0}));
}

TEST(PanelRunDisplay, ShowsTheRunOnTheControls) {
    WindowRig rig;
    Panel& p = rig.p;
    PanelRunDisplay shown(p, rig.form->scaleControls(), rig.form->trendPlot());
    shown.pointNumber(3);
    shown.scannedPoint(2);
    shown.slowReads(1);
    shown.channelCount(4);
    EXPECT_EQ(p.Text5->text() + p.Text8->text() + p.Text7->text() + p.TxtChNo->text(), "32 14");
    shown.pointNumber(std::nullopt);
    EXPECT_TRUE(p.Text5->text().isEmpty());

    // Overloads are red; a cleared box is empty and white again.
    shown.showReading(0, 9.9E+37);
    EXPECT_EQ(p.TxtDshow[0]->text(), "9.9E+37");
    EXPECT_EQ(background(p.TxtDshow[0]), QColor(255, 0, 0));
    shown.clearReadout(0);
    EXPECT_TRUE(p.TxtDshow[0]->text().isEmpty());
    EXPECT_EQ(background(p.TxtDshow[0]), QColor(255, 255, 255));

    // The axes after an autoscale.
    p.CboFunc[0]->setEditText("Frequency");
    autoscaleFrequency(rig.form->scale(), 1050);
    shown.refreshLeftAxis(1);
    EXPECT_EQ(p.LabY[10]->text(), "3000.");
    rig.form->scale().MathFullScale = 20;
    shown.showMath(8);
    shown.refreshMathAxis();
    EXPECT_EQ(p.Text4->text(), "8.0");
    EXPECT_EQ(p.LabY1[12]->text(), "24");
}

}  // namespace
}  // namespace tq::test
