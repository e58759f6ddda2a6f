#include "run/panel_run_display.h"

#include <QLineEdit>
#include <QString>
#include <cstddef>

#include "common/number_qstring.h"
#include "display/scale_controls.h"
#include "display/trend_plot.h"
#include "panel/panel.h"
#include "panel/readout_colour.h"
#include "rules/math_channel.h"
#include "rules/reading.h"

namespace tq {

void PanelRunDisplay::pointNumber(std::optional<std::int32_t> point) {
    p_.Text5->setText(point ? textOf(*point) : QString());
}

void PanelRunDisplay::scannedPoint(std::int32_t point) {
    p_.Text8->setText(textOf(point));
}

void PanelRunDisplay::readTime(std::int32_t ms) {
    p_.Text6->setText(textOf(ms));
}

void PanelRunDisplay::slowReads(double count) {
    p_.Text7->setText(QString::fromStdString(numberText(count)));
}

void PanelRunDisplay::scanProgress(double channelsDone) {
    p_.Text1->setText(textOf(channelsDone));
}

void PanelRunDisplay::channelCount(double count) {
    // Its change handler runs as for a count typed in.
    p_.TxtChNo->setText(textOf(count));
}

void PanelRunDisplay::clearReadout(int box) {
    QLineEdit* b = p_.TxtDshow.at(static_cast<std::size_t>(box));
    b->setText(QString());
    colourReadout(b, false);
}

void PanelRunDisplay::showReading(int box, double reading) {
    QLineEdit* b = p_.TxtDshow.at(static_cast<std::size_t>(box));
    b->setText(textOf(reading));
    if (isOverload(reading)) {
        colourReadout(b, true);
    }
}

std::optional<int> PanelRunDisplay::leftAxisChannel() const {
    return scaleControls_.leftAxisChannel();
}

void PanelRunDisplay::refreshLeftAxis(int channel) {
    scaleControls_.refreshLeftAxis(channel);
}

void PanelRunDisplay::showMath(double value) {
    p_.Text4->setText(QString::fromStdString(mathText(value)));
}

void PanelRunDisplay::refreshMathAxis() {
    scaleControls_.writeMathLabels();
}

void PanelRunDisplay::redraw(std::int32_t point, RunMode mode) {
    plot_.RunRedraw(point, mode);
}

}  // namespace tq
