#include "app/options.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace tq {

Options parseOptions(const QCoreApplication& app) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Front panel for the TQ4700 multimeter and its scanner card."));
    parser.addHelpOption();
    parser.addVersionOption();

    const QCommandLineOption screenshot(
        QStringLiteral("screenshot"),
        QStringLiteral("Render the window as built to <file> (PNG) and exit."),
        QStringLiteral("file"));
    const QCommandLineOption dumpControls(
        QStringLiteral("dump-controls"),
        QStringLiteral("Write every control with its state to <file> (JSON) and exit."),
        QStringLiteral("file"));
    parser.addOption(screenshot);
    parser.addOption(dumpControls);

    parser.process(app);

    Options options;
    options.screenshotPath = parser.value(screenshot);
    options.dumpControlsPath = parser.value(dumpControls);
    return options;
}

}  // namespace tq
