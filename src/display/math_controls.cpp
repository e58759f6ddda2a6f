#include "display/math_controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QObject>
#include <cstddef>
#include <optional>
#include <span>
#include <utility>

#include "common/clock.h"
#include "common/number_text.h"
#include "panel/field_value.h"
#include "panel/panel.h"
#include "rules/plot_rule.h"
#include "rules/scale.h"
#include "store/record_store.h"

namespace tq {
namespace {

// The right axis shows the math scale only while its selector reads this.
constexpr auto kMathAxisChoice = "Math";

}  // namespace

MathControls::MathControls(Panel& panel, Clock& clock, ScaleState& scale, RecordStore& store)
    : panel_(panel), clock_(clock), scale_(scale), store_(store) {}

void MathControls::connectEvents() {
    QObject::connect(panel_.ChkMath, &QCheckBox::toggled, panel_.ChkMath,
                     [this] { ChkMath_Click(); });
}

void MathControls::setMathAxisHook(std::function<void()> hook) {
    mathAxisHook_ = std::move(hook);
}

void MathControls::ChkMath_Click() {
    const bool on = panel_.ChkMath->isChecked();
    panel_.ChkMath->setText(on ? QStringLiteral("Math") : QStringLiteral("No Math"));
    panel_.FrameMath->setVisible(on);
}

void MathControls::ReadMathSetup() {
    tq::ReadMathSetup(setup, panel_.Cbo1[0]->currentText().toStdString(),
                      panel_.Cbo1[1]->currentText().toStdString(),
                      panel_.Cbo2->currentText().toStdString());
}

void MathControls::mathStep(std::array<double, 12>& Reading, int row) {
    if (!panel_.ChkMath->isChecked()) {
        return;
    }
    ReadMathSetup();
    // Factor and offset are read at every point so that an edit counts from
    // the next point on. Missing choices, an operand this point brought no
    // reading for (or an overloaded one) and a result that is no finite
    // number (division by 0, an enormous factor) all skip the point: Text4
    // keeps what it showed, the point's math cell stays without a value and
    // the run goes on.
    const bool operandsRead = store_.value(row, setup.MathChannelA).has_value() &&
                              store_.value(row, setup.MathChannelB).has_value();
    const std::optional<double> value =
        operandsRead ? mathValue(setup, std::span<const double>(Reading), fieldValue(panel_.Text2),
                                 fieldValue(panel_.Text3))
                     : std::nullopt;
    if (!value) {
        return;
    }
    const double M = *value;
    Reading[kMathColumn] = M;
    panel_.Text4->setText(QString::fromStdString(mathText(M)));

    if (panel_.CboScale[1]->currentText() == QLatin1String(kMathAxisChoice) &&
        autoscaleMath(scale_, M)) {
        writeMathAxis();
    }
    if (!scale_.MathAutoScaled) {
        return;
    }
    if (const std::optional<std::int32_t> y = mathTwip(M, scale_.MathFullScale)) {
        store_.setPlotY(row, kMathColumn, *y);
        store_.setValue(row, kMathColumn, M);
    }
}

std::optional<std::string> MathControls::formulaText() {
    if (!panel_.ChkMath->isChecked()) {
        return std::nullopt;
    }
    ReadMathSetup();
    return mathFormula(setup, defaultText(fieldValue(panel_.Text2)),
                       defaultText(fieldValue(panel_.Text3)));
}

void MathControls::writeMathAxis() {
    if (mathAxisHook_) {
        mathAxisHook_();
        return;
    }
    const ValueLabels labels = plainLabels(scale_.MathFullScale);
    for (std::size_t k = 0; k < labels.size(); ++k) {
        panel_.LabY1[k]->setText(QString::fromStdString(labels[k]));
        clock_.yield();
    }
}

}  // namespace tq
