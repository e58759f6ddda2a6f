#include "run/panel_run_inputs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <cstddef>

#include "display/trend_plot.h"
#include "panel/field_value.h"
#include "panel/panel.h"

namespace tq {
namespace {

std::size_t at(int row) {
    return static_cast<std::size_t>(row);
}

// The right axis shows the math value only while its selector reads this.
constexpr auto kMathAxisChoice = "Math";

}  // namespace

// Sent as they stand, even half typed: a delay typed during a run reaches
// the next point.
std::string PanelRunInputs::triggerDelayText() const {
    return p_.TxtTrigDelay->text().toStdString();
}

std::string PanelRunInputs::scanTimeText() const {
    return p_.TxtScanTimer->text().toStdString();
}

double PanelRunInputs::triggerDelay() const {
    return fieldValue(p_.TxtTrigDelay);
}

double PanelRunInputs::scanTime() const {
    return fieldValue(p_.TxtScanTimer);
}

double PanelRunInputs::intervalSeconds() const {
    return fieldValue(p_.TxtSleep);
}

double PanelRunInputs::recordLength() const {
    return fieldValue(p_.TxtRecordLen);
}

double PanelRunInputs::channelCount() const {
    return fieldValue(p_.TxtChNo);
}

double PanelRunInputs::pointsPerScreen() const {
    return plot_.pointsPerScreen();
}

// A row is in use while its frame is shown (whether or not the window is).
bool PanelRunInputs::rowInUse(int row) const {
    return !p_.FrameCH.at(at(row))->isHidden();
}

std::string PanelRunInputs::function(int row) const {
    return p_.CboFunc.at(at(row))->currentText().toStdString();
}

std::string PanelRunInputs::range(int row) const {
    return p_.CboRange.at(at(row))->currentText().toStdString();
}

std::string PanelRunInputs::filter(int row) const {
    return p_.CboFilter.at(at(row))->currentText().toStdString();
}

double PanelRunInputs::calibration(int row) const {
    return fieldValue(p_.TxtCal.at(at(row)));
}

std::optional<MathInputs> PanelRunInputs::math() const {
    if (!p_.ChkMath->isChecked()) {
        return std::nullopt;
    }
    ReadMathSetup(mathSetup_, p_.Cbo1[0]->currentText().toStdString(),
                  p_.Cbo1[1]->currentText().toStdString(), p_.Cbo2->currentText().toStdString());
    return MathInputs{
        .setup = mathSetup_,
        .factor = fieldValue(p_.Text2),
        .offset = fieldValue(p_.Text3),
        .onRightAxis = p_.CboScale[1]->currentText() == QLatin1String(kMathAxisChoice)};
}

bool PanelRunInputs::runOn() const {
    return p_.ChkTest[0]->isChecked();
}

bool PanelRunInputs::held() const {
    return !p_.ChkTest[1]->isChecked();
}

}  // namespace tq
