#pragma once

#include <QLineEdit>

#include "common/number_qstring.h"
#include "panel/typed_input.h"

namespace tq {

// The number a field holds (Val rules: 0 when there is none). A value the
// user is still typing is not in effect yet: until it is judged, the field
// holds the one before it.
inline double fieldValue(const QLineEdit* field) {
    return valOf(TypedInput::settledText(field));
}

}  // namespace tq
