#include "panel/warning_strip.h"

#include "panel/panel.h"

namespace tq {

WarningStrip::WarningStrip(const Panel& p) : Frame8(p.Frame8), Label4(p.Label4), Timer1(p.Timer1) {}

void showWarningStrip(const WarningStrip& strip, const QString& text) {
    strip.Label4->setText(text);
    strip.Frame8->show();
    strip.Timer1->setInterval(kWarningStripMs);
    strip.Timer1->setEnabled(true);
}

}  // namespace tq
