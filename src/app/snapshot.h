#pragma once

class QString;
class QWidget;

namespace tq {

struct Options;

// Renders form to a PNG of its client area; false with a reason on failure.
bool writeScreenshot(QWidget& form, const QString& path, QString* error);

// Writes the files options ask for (control list, then screenshot) and
// returns the process exit status.
int writeRequestedFiles(QWidget& form, const Options& options);

}  // namespace tq
