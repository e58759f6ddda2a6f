#include "panel/warning_strip.h"

#include "panel/panel.h"

namespace tq {

void showWarningStrip(Panel& p, const QString& text) {
    p.Label4->setText(text);
    p.Frame8->show();
    p.Timer1->setInterval(kWarningStripMs);
    p.Timer1->setEnabled(true);
}

}  // namespace tq
