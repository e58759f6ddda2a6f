#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#include "panel/build_areas.h"
#include "panel/build_helpers.h"

namespace tq::build {

namespace {

// The pointer bar above the plot and the channel selector beside the
// pointer switch; both appear when the pointer is switched on.
void buildPointerBars(QWidget* form, Panel& p) {
    p.FramePoint1 = frame(form, "FramePoint1", {5700, 1290, 7335, 525}, look::kPanelGrey, false);
    Frame* bar = p.FramePoint1;
    const QFont chinese = look::ming(9, true);
    p.ChkPoint1 = checkBox(bar, "ChkPoint1", {120, 120, 1335, 285}, "Last Point", true);
    p.CmdMove[0] = command(bar, indexed("CmdMove", 0), {1560, 75, 1035, 375}, "游標左移", chinese);
    p.TxtPoint = textBox(bar, "TxtPoint", {2670, 120, 765, 285}, "0");
    p.CmdMove[1] = command(bar, indexed("CmdMove", 1), {3510, 75, 1035, 375}, "游標右移", chinese);
    p.TxtPointValue = textBox(bar, "TxtPointValue", {4650, 120, 2535, 285}, "");
    p.CmdMove[0]->setEnabled(false);
    p.CmdMove[1]->setEnabled(false);
    bar->hide();

    p.FramePoint = frame(form, "FramePoint", {2100, 1290, 2085, 405}, look::kPanelGrey, false);
    p.CmdUD[0] =
        command(p.FramePoint, indexed("CmdUD", 0), {60, 45, 960, 315}, "Up", look::arial(9));
    p.CmdUD[1] =
        command(p.FramePoint, indexed("CmdUD", 1), {1065, 45, 960, 315}, "Down", look::arial(9));
    p.FramePoint->hide();
}

// Covers the mode switch with a plain "main unit" sign when no scanner card
// answers.
void buildModeCover(QWidget* form, Panel& p) {
    p.FrameMa = frame(form, "FrameMa", {4500, 180, 1185, 495}, look::kYellow, false);
    p.Label1[6] = label(p.FrameMa, indexed("Label1", 6), {0, 60, 1185, 375}, "主  機",
                        look::ming(15.75), look::kBlue, Qt::AlignCenter);
    p.FrameMa->hide();
}

// Parked above the top edge; its command slides it down into view.
void buildScanTriggerPanel(QWidget* form, Panel& p) {
    Frame* panel = frame(form, "FrameOther", {8820, -3060, 3135, 1785}, look::kNavy, true);
    p.FrameOther = panel;
    panel->setFont(look::arial(12));
    panel->setCaption("Scan / Trigger");
    panel->setCaptionColor(look::kYellow);
    const QFont font = look::arial(9);
    p.Label2[5] =
        label(panel, indexed("Label2", 5), {120, 450, 1500, 285}, "Scan Time", font, look::kGreen);
    p.TxtScanTimer = textBox(panel, "TxtScanTimer", {1680, 420, 1335, 315}, "0.01");
    p.Label2[6] = label(panel, indexed("Label2", 6), {120, 870, 1500, 285}, "Trigger Delay", font,
                        look::kGreen);
    p.TxtTrigDelay = textBox(panel, "TxtTrigDelay", {1680, 840, 1335, 315}, "0.001");
    p.Label2[7] = label(panel, indexed("Label2", 7), {120, 1290, 1500, 285}, "Record Count", font,
                        look::kGreen);
    p.Text5 = textBox(panel, "Text5", {1680, 1260, 1335, 315}, "");
}

}  // namespace

void buildPointerAndOptionFrames(QWidget* form, Panel& p) {
    buildPointerBars(form, p);
    buildModeCover(form, p);
    buildScanTriggerPanel(form, p);
}

}  // namespace tq::build
