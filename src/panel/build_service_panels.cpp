#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <array>

#include "panel/build_areas.h"
#include "panel/build_helpers.h"

namespace tq::build {

namespace {

// Reference-line nudges and the patch that opens the counters.
void buildFrame6(QWidget* form, Panel& p) {
    Frame* f = frame(form, "Frame6", {14220, 1170, 885, 2235}, look::kPanelGrey, true);
    p.Frame6 = f;
    const QFont font = look::arial(9);
    p.Command5[0] = command(f, indexed("Command5", 0), {90, 210, 345, 375}, "X-", font);
    p.Command5[1] = command(f, indexed("Command5", 1), {450, 210, 345, 375}, "X+", font);
    p.Command6[0] = command(f, indexed("Command6", 0), {90, 660, 345, 375}, "Y-", font);
    p.Command6[1] = command(f, indexed("Command6", 1), {450, 660, 345, 375}, "Y+", font);
    p.LabF7 = label(f, "LabF7", {150, 1200, 585, 795}, "", font);
    fillBackground(p.LabF7, QColor(160, 160, 160));
    f->hide();
}

// The run's diagnostic counters, each caption over its field.
struct Counter {
    int captionIndex;
    const char* caption;
    QLineEdit* Panel::*field;
    const char* fieldName;
};

const std::array<Counter, 4> kCounters{{
    {.captionIndex = 2, .caption = "Scan CH", .field = &Panel::Text1, .fieldName = "Text1"},
    {.captionIndex = 4, .caption = "viRead Time", .field = &Panel::Text6, .fieldName = "Text6"},
    {.captionIndex = 3, .caption = "TimeOut  Count", .field = &Panel::Text7, .fieldName = "Text7"},
    {.captionIndex = 5, .caption = "Rec Count", .field = &Panel::Text8, .fieldName = "Text8"},
}};

void buildFrame7(QWidget* form, Panel& p) {
    Frame* f = frame(form, "Frame7", {14220, 3390, 885, 3915}, look::kPanelGrey, true);
    p.Frame7 = f;
    const QFont small = look::arial(6.75);
    int top = 120;
    for (const Counter& c : kCounters) {
        Label* caption = label(f, indexed("Label1", c.captionIndex), {60, top, 765, 330}, c.caption,
                               small, Qt::black, Qt::AlignLeft | Qt::AlignBottom);
        caption->setWordWrap(true);
        p.Label1[c.captionIndex] = caption;
        p.*c.field = textBox(f, c.fieldName, {60, top + 330, 765, 270}, "", small);
        top += 660;
    }
    p.TxtRange[0] = textBox(f, indexed("TxtRange", 0), {60, 2820, 765, 285}, "10");
    p.TxtRange[1] = textBox(f, indexed("TxtRange", 1), {60, 3150, 765, 285}, "10");
    p.Check1 = checkBox(f, "Check1", {60, 3510, 795, 285}, "Check1", false, look::arial(7.5));
    f->hide();
}

// Per-channel vertical trace offsets in twips.
void buildFrame2(QWidget* form, Panel& p) {
    Frame* f = frame(form, "Frame2", {13140, 1170, 1095, 4965}, look::kPanelGrey, true);
    p.Frame2 = f;
    for (int i = 0; i < 10; ++i) {
        p.TxtCal[i] = textBox(f, indexed("TxtCal", i), {150, 240 + 450 * i, 795, 315}, "0");
    }
    f->hide();
}

}  // namespace

void buildServicePanels(QWidget* form, Panel& p) {
    buildFrame2(form, p);
    buildFrame6(form, p);
    buildFrame7(form, p);
}

}  // namespace tq::build
