#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <array>

#include "panel/build_areas.h"
#include "panel/build_helpers.h"

namespace tq::build {

namespace {

using Face = PictureCheckBox::Face;

PictureCheckBox* pictureCheckBox(QWidget* form, const QString& name, const Box& box,
                                 const Face& unchecked, const Face& checked, bool blankWhenDisabled,
                                 bool isChecked) {
    auto* c = new PictureCheckBox(form);
    c->setObjectName(name);
    c->setFont(look::ming(14.25, true));
    c->setFaces(unchecked, checked, blankWhenDisabled);
    c->setChecked(isChecked);
    place(c, box);
    return c;
}

void buildSwitches(QWidget* form, Panel& p) {
    const QColor face(224, 224, 224);
    p.ChkTest[0] = pictureCheckBox(
        form, indexed("ChkTest", 0), {2400, 180, 945, 495},
        {.text = "停止", .textColor = look::kRed, .background = face},
        {.text = "測試", .textColor = QColor(0, 128, 0), .background = face}, false, true);
    p.ChkTest[1] = pictureCheckBox(
        form, indexed("ChkTest", 1), {3450, 180, 945, 495},
        {.text = "暫停", .textColor = QColor(192, 64, 0), .background = face},
        {.text = "繼續", .textColor = look::kBlue, .background = face}, false, true);
    // Without a scanner card the switch is disabled and shows nothing.
    p.ChkScanMode = pictureCheckBox(
        form, "ChkScanMode", {4500, 180, 1155, 495},
        {.text = "主 機", .textColor = look::kBlue, .background = look::kYellow},
        {.text = "掃描卡", .textColor = QColor(0, 0, 160), .background = QColor(160, 255, 160)},
        true, false);
}

// The run parameters: a yellow caption over each field.
struct StripField {
    int captionIndex;
    const char* caption;
    Box field;
};

constexpr std::array<StripField, 4> kStripFields{{
    {.captionIndex = 0, .caption = "測試CH數", .field = {6030, 420, 825, 330}},
    {.captionIndex = 1, .caption = "畫面點數", .field = {6960, 420, 885, 345}},
    {.captionIndex = 2, .caption = "記錄點數", .field = {7950, 420, 825, 315}},
    {.captionIndex = 3, .caption = "間隔時間", .field = {8880, 420, 825, 300}},
}};

void buildRunParameters(QWidget* form, Panel& p) {
    for (const StripField& f : kStripFields) {
        p.Label2[f.captionIndex] =
            label(form, indexed("Label2", f.captionIndex), {f.field.left, 150, 900, 255},
                  QString::fromUtf8(f.caption), look::ming(9, true), look::kYellow);
    }
    p.TxtChNo = textBox(form, "TxtChNo", kStripFields[0].field, "10");
    p.CboPoint = comboBox(form, "CboPoint", kStripFields[1].field, "100",
                          {"1000", "500", "200", "100", "50", "20", "10"});
    // A number is typed whole: completing a typed "50" to the listed "500"
    // would change what the user meant.
    p.CboPoint->setCompleter(nullptr);
    p.TxtRecordLen = textBox(form, "TxtRecordLen", kStripFields[2].field, "200");
    p.TxtSleep = textBox(form, "TxtSleep", kStripFields[3].field, "0.01");
    p.Label2[4] = label(form, indexed("Label2", 4), {9765, 450, 450, 255}, "Sec", look::arial(9),
                        look::kGreen);
}

void buildCommands(QWidget* form, Panel& p) {
    p.Command1 =
        command(form, "Command1", {240, 120, 1965, 645}, "開始測試", look::ming(15.75, true));
    p.CmdOther = command(form, "CmdOther", {12000, 60, 1335, 375}, "Scan /Trigger", look::arial(9));
    p.CmdEnd = command(form, "CmdEnd", {13410, 30, 1335, 465}, "Exit", look::arialBlack(12));
    p.ComSaveFrame =
        command(form, "ComSaveFrame", {13410, 480, 1335, 375}, "Save Data", look::arial(9));
    p.ComSaveFrame->setEnabled(false);
    // An unmarked patch in the window's colour that opens the service panel.
    p.Label3 = label(form, "Label3", {14790, 30, 405, 525}, "", look::arial(9));
    fillBackground(p.Label3, look::kWindow);
}

// The review commands appear under the read-out after a run with the
// pointer on; until then they are hidden.
void buildReviewCommands(QWidget* form, Panel& p) {
    const QFont font = look::ming(9, true);
    p.TxtPoint1 = textBox(form, "TxtPoint1", {13230, 1350, 765, 285}, "0");
    p.CmdMove1[0] = command(form, indexed("CmdMove1", 0), {150, 8280, 1035, 375}, "波形右移", font);
    p.CmdMove1[1] =
        command(form, indexed("CmdMove1", 1), {1230, 8280, 1035, 375}, "波形左移", font);
    p.CmdMove2[0] = command(form, indexed("CmdMove2", 0), {150, 8760, 1035, 375}, "游標左移", font);
    p.TxtCurPoint = textBox(form, "TxtCurPoint", {1230, 8805, 645, 285}, "0");
    p.CmdMove2[1] =
        command(form, indexed("CmdMove2", 1), {1920, 8760, 1035, 375}, "游標右移", font);
    p.ComdReadMem =
        command(form, "ComdReadMem", {2310, 8280, 1035, 375}, "Read Memory", look::arial(8.25));
    p.Text9 = textBox(form, "Text9", {5400, 2520, 3165, 3195}, "");
    const std::array<QWidget*, 7> hidden{p.CmdMove1[0], p.CmdMove1[1], p.CmdMove2[0], p.CmdMove2[1],
                                         p.TxtCurPoint, p.ComdReadMem, p.Text9};
    for (QWidget* w : hidden) {
        w->hide();
    }
}

}  // namespace

void buildTopStrip(QWidget* form, Panel& p) {
    buildCommands(form, p);
    buildSwitches(form, p);
    buildRunParameters(form, p);
    buildReviewCommands(form, p);
    p.Timer1 = new Timer(form);
    p.Timer1->setObjectName("Timer1");
}

}  // namespace tq::build
