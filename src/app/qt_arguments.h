#pragma once

#include <QStringList>

namespace tq {

// The arguments as QApplication leaves them: Qt's own options ("-style
// fusion", "--reverse", "-stylesheet=app.qss") taken off, the program's kept.
QStringList withoutQtOptions(const QStringList& arguments);

// Whether QApplication has a window system to open: one named by
// QT_QPA_PLATFORM or -platform, or an X or Wayland display. Without one it
// cannot start at all.
bool windowSystemNamed(const QStringList& arguments);

}  // namespace tq
