#pragma once

#include <QColor>
#include <QLineEdit>
#include <QPalette>

#include "panel/look.h"

namespace tq {

// A read-out's background: white, or red for an overload. Runs and the
// review colour the read-outs alike.
inline void colourReadout(QLineEdit* box, bool overload) {
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, overload ? look::kRed : QColor(255, 255, 255));
    box->setPalette(palette);
}

}  // namespace tq
