#pragma once

#include <QLineEdit>

#include "common/number_qstring.h"

namespace tq {

// The number a field holds now, as typed (Val rules: 0 when there is none).
inline double fieldValue(const QLineEdit* field) {
    return valOf(field->text());
}

}  // namespace tq
