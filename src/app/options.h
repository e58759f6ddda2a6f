#pragma once

#include <QString>

class QCoreApplication;

namespace tq {

// What the command line asked for.
struct Options {
    QString screenshotPath;    // --screenshot FILE.png: render the window and exit
    QString dumpControlsPath;  // --dump-controls FILE.json: list every control and exit

    // The window is only rendered or described, never run.
    bool writesFilesOnly() const {
        return !screenshotPath.isEmpty() || !dumpControlsPath.isEmpty();
    }
};

// Parses app's arguments; --help and --version print and exit, as does an
// unknown option (with a message and status 1).
Options parseOptions(const QCoreApplication& app);

}  // namespace tq
