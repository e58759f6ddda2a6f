#pragma once

#include <QString>

#include "common/number_text.h"

// The number texts for Qt's strings: what a field holds and what a label or
// read-out shows, by the same rules as every other number text.
namespace tq {

// Val() of a field's or a label's text.
inline double valOf(const QString& text) {
    return Val(text.toStdString());
}

// defaultText() as a QString: "0.5", "100", "9.9E+37".
inline QString textOf(double value) {
    return QString::fromStdString(defaultText(value));
}

}  // namespace tq
