#pragma once

class QString;
class QWidget;

namespace tq {

struct Options;

// Renders form's client area to a PNG, JPEG or BMP file as the file's
// extension asks; false with a reason on failure (another extension among
// them).
bool writeScreenshot(QWidget& form, const QString& path, QString* error);

// Writes the files options ask for (control list, then screenshot) and
// returns the process exit status.
int writeRequestedFiles(QWidget& form, const Options& options);

}  // namespace tq
