#include "app/snapshot.h"

#include <QApplication>
#include <QPixmap>
#include <QTextStream>
#include <QWidget>
#include <optional>
#include <string>
#include <string_view>

#include "app/options.h"
#include "app/picture_format.h"
#include "panel/control_dump.h"

namespace tq {

bool writeScreenshot(QWidget& form, const QString& path, QString* error) {
    // Shown off screen so that the whole tree is laid out and polished as a
    // user would see it, without a window flashing up on a desktop.
    const bool wasShown = form.isVisible();
    if (!wasShown) {
        form.setAttribute(Qt::WA_DontShowOnScreen);
        form.show();
    }
    QApplication::processEvents();
    const std::optional<std::string_view> format = pictureFormat(path.toStdString());
    if (!format) {
        if (error != nullptr) {
            *error =
                QStringLiteral("cannot write %1: a screenshot file ends in %2")
                    .arg(path, QString::fromUtf8(kPictureFormats.data(),
                                                 static_cast<qsizetype>(kPictureFormats.size())));
        }
        return false;
    }
    const QPixmap picture = form.grab();
    if (!wasShown) {
        form.hide();
        form.setAttribute(Qt::WA_DontShowOnScreen, false);
    }
    if (picture.isNull() || !picture.save(path, std::string(*format).c_str())) {
        if (error != nullptr) {
            *error = QStringLiteral("cannot write %1").arg(path);
        }
        return false;
    }
    return true;
}

int writeRequestedFiles(QWidget& form, const Options& options) {
    QString error;
    bool ok = true;
    if (!options.dumpControlsPath.isEmpty()) {
        ok = writeControlDump(&form, options.dumpControlsPath, &error) && ok;
    }
    if (ok && !options.screenshotPath.isEmpty()) {
        ok = writeScreenshot(form, options.screenshotPath, &error);
    }
    if (!ok) {
        QTextStream(stderr) << "tq4700: " << error << '\n';
        return 1;
    }
    return 0;
}

}  // namespace tq
