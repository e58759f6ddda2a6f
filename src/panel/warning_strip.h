#pragma once

#include <QString>

namespace tq {

struct Panel;

inline constexpr int kWarningStripMs = 4000;

// Shows `text` on the red warning strip; Timer1 hides it again after four
// seconds, and every warning restarts that time.
void showWarningStrip(Panel& p, const QString& text);

}  // namespace tq
