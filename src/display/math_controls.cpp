#include "display/math_controls.h"

#include <QCheckBox>
#include <QObject>

#include "panel/panel.h"

namespace tq {

void MathControls::connectEvents() {
    QObject::connect(panel_.ChkMath, &QCheckBox::toggled, panel_.ChkMath,
                     [this] { ChkMath_Click(); });
}

void MathControls::ChkMath_Click() {
    const bool on = panel_.ChkMath->isChecked();
    panel_.ChkMath->setText(on ? QStringLiteral("Math") : QStringLiteral("No Math"));
    panel_.FrameMath->setVisible(on);
}

}  // namespace tq
