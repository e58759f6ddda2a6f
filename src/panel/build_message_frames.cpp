#include <QLineEdit>
#include <QPushButton>

#include "panel/build_areas.h"
#include "panel/build_helpers.h"

namespace tq::build {

namespace {

void buildSavePanel(QWidget* form, Panel& p) {
    Frame* f = frame(form, "Frame9", {2520, 2760, 9825, 4635}, look::kYellow, false);
    p.Frame9 = f;
    p.Shape3 = new Shape(Shape::Kind::Rectangle, f);
    p.Shape3->setObjectName("Shape3");
    p.Shape3->setFilled(false);
    p.Shape3->setBorderColor(look::kNavy);
    place(p.Shape3, {120, 120, 9585, 4395});

    p.Label7 = label(f, "Label7", {2400, 300, 5025, 615}, "資料儲存", look::ming(26.25, true),
                     Qt::black, Qt::AlignCenter);
    p.Label5 = label(f, "Label5", {1500, 1410, 1455, 375}, "FileName", look::arial(11.25));
    p.TxtFileName = textBox(f, "TxtFileName", {3000, 1380, 3015, 405}, "Test", look::arial(11.25));
    setTextColor(p.TxtFileName, look::kNavy);
    p.CmdSave = command(f, "CmdSave", {6240, 1335, 1335, 495}, "Save", look::arial(12));
    p.Label6 = label(f, "Label6", {1455, 2280, 6915, 1185}, "", look::ming(48, true), look::kBlue,
                     Qt::AlignCenter);

    // Left over from the panel's development; never shown.
    const QFont font = look::arial(9);
    p.Command2[0] = command(f, indexed("Command2", 0), {6720, 3600, 975, 375}, "Command2", font);
    p.Command2[1] = command(f, indexed("Command2", 1), {7740, 3600, 975, 375}, "Command2", font);
    p.Text10 = textBox(f, "Text10", {6720, 4020, 975, 285}, "10001");
    p.Text11 = textBox(f, "Text11", {7740, 4020, 975, 285}, "Tex11");
    p.Command2[0]->hide();
    p.Command2[1]->hide();
    p.Text10->hide();
    p.Text11->hide();
    f->hide();
}

void buildWarningStrip(QWidget* form, Panel& p) {
    p.Frame8 = frame(form, "Frame8", {4530, 9000, 9135, 675}, look::kRed, false);
    p.Label4 = label(p.Frame8, "Label4", {120, 60, 8895, 555}, "--------", look::arial(18),
                     look::kBlue, Qt::AlignCenter);
    // Warnings carry an English half after the Chinese one.
    p.Label4->setShrinkToFit(true);
    p.Frame8->hide();
}

void buildMessageFrame(QWidget* form, Panel& p) {
    p.FrameMsg = frame(form, "FrameMsg", {2010, 3090, 11055, 3465}, look::kYellow, false);
    p.LabMsg = label(p.FrameMsg, "LabMsg", {360, 1260, 10335, 945}, "系統設定中...",
                     look::ming(36, true), look::kNavy, Qt::AlignCenter);
    p.LabMsg->setShrinkToFit(true);
    p.FrameMsg->hide();
}

}  // namespace

void buildMessageFrames(QWidget* form, Panel& p) {
    buildSavePanel(form, p);
    buildWarningStrip(form, p);
    buildMessageFrame(form, p);
}

}  // namespace tq::build
