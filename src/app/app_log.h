#pragma once

#include <QLoggingCategory>

namespace tq {

// The program's own log: which link it chose and what went wrong on the way.
Q_DECLARE_LOGGING_CATEGORY(lcApp)

}  // namespace tq
