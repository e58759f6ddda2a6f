#include "app/options.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <cmath>

#include "app/picture_format.h"
#include "export/workbook_file.h"

namespace tq {
namespace {

const QString kSimulate = QStringLiteral("--simulate");
const QString kSimulateNoCard = QStringLiteral("--simulate=nocard");
const QString kStats = QStringLiteral("--stats");

ExitRequest usageError(const QString& reason, const QCommandLineParser& parser) {
    return {.text = QStringLiteral("tq4700: %1\n\n%2").arg(reason, parser.helpText()),
            .toStderr = true,
            .status = kUsageStatus};
}

}  // namespace

ParsedCommandLine parseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Front panel for the TQ4700 multimeter and its scanner card."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();

    const QCommandLineOption simulate(
        QStringLiteral("simulate"),
        QStringLiteral("Talk to the built-in simulated meter instead of a real one. "
                       "--simulate=nocard: a simulated meter without its scanner card."));
    const QCommandLineOption resource(
        QStringLiteral("resource"),
        QStringLiteral("Use the VISA resource <name> (USB...::INSTR, TCPIP::host::port::SOCKET) "
                       "as the one meter on the bus."),
        QStringLiteral("name"));
    const QCommandLineOption visaLibrary(
        QStringLiteral("visa-library"),
        QStringLiteral("Load this VISA library and no other (default: the system's, else the "
                       "built-in USB-TMC and socket support)."),
        QStringLiteral("path"));
    const QCommandLineOption trace(
        QStringLiteral("trace"),
        QStringLiteral("Write every line sent to the meter and every reply, with times, to "
                       "<file>."),
        QStringLiteral("file"));
    const QCommandLineOption saveDir(QStringLiteral("save-dir"),
                                     QStringLiteral("Write exported workbooks into <dir>."),
                                     QStringLiteral("dir"));
    const QCommandLineOption screenshot(
        QStringLiteral("screenshot"),
        QStringLiteral("Start up on simulated time, render the window to <file> (PNG, JPEG or "
                       "BMP, as its extension .png, .jpg or .bmp says) and exit."),
        QStringLiteral("file"));
    const QCommandLineOption dumpControls(
        QStringLiteral("dump-controls"),
        QStringLiteral("Start up on simulated time, write every control with its state to "
                       "<file> (JSON) and exit."),
        QStringLiteral("file"));
    const QCommandLineOption script(
        QStringLiteral("script"),
        QStringLiteral("Drive the window with the control script <file> (\"-\": standard input) "
                       "once the start-up has finished. One command a line: type NAME TEXT, "
                       "keys NAME TEXT, pick NAME ITEM, click NAME, wait MS, wait-run, "
                       "expect NAME TEXT, answer yes|no|ok, screenshot FILE, dump FILE.json, "
                       "exit."),
        QStringLiteral("file"));
    const QCommandLineOption fast(
        QStringLiteral("fast"),
        QStringLiteral("With --simulate: run on simulated time throughout, so runs take only as "
                       "long as their drawing."));
    const QCommandLineOption check(
        QStringLiteral("check"),
        QStringLiteral("Print what stands between the program and the meter (the VISA library, "
                       "the USB-TMC devices and whether they can be opened, the udev rule) and "
                       "exit: 0 when a meter can be opened, 1 otherwise."));
    const QCommandLineOption view(
        QStringLiteral("view"),
        QStringLiteral("Open the run journal <file> in the Analysis window alone (no meter, no "
                       "front panel). With --stats FROM TO: print every trace's count, missing, "
                       "overloads, min, max, mean, std, rms and p2p between FROM and TO seconds "
                       "(both included) as CSV and exit. With --screenshot: render the window "
                       "and exit."),
        QStringLiteral("file"));
    const QCommandLineOption journalDir(
        QStringLiteral("journal-dir"),
        QStringLiteral("Keep run journals in <dir>/YYYY-MM-DD/ (default: "
                       "$XDG_DATA_HOME/tq4700/runs, i.e. ~/.local/share/tq4700/runs)."),
        QStringLiteral("dir"));
    const QCommandLineOption noJournal(QStringLiteral("no-journal"),
                                       QStringLiteral("Write no run journal."));
    const QCommandLineOption exportXls(
        QStringLiteral("export-xls"),
        QStringLiteral("Write the workbook of the run journal <journal> (to OUT, the only "
                       "argument allowed after it; default: beside the journal, .xls) and exit. "
                       "Needs no display and no meter."),
        QStringLiteral("journal"));
    parser.addOptions({simulate, resource, visaLibrary, trace, saveDir, screenshot, dumpControls,
                       script, fast, check, journalDir, noJournal, exportXls, view});

    // The parser knows only flags and options with a required value; the one
    // optional value of --simulate is taken off before it looks.
    Options options;
    QStringList args = arguments;
    for (QString& arg : args) {
        if (arg == kSimulateNoCard) {
            options.simulateNoCard = true;
            arg = kSimulate;
        } else if (arg.startsWith(kSimulate + QLatin1Char('='))) {
            return usageError(QStringLiteral("unknown value in '%1' (only 'nocard')").arg(arg),
                              parser);
        }
    }

    // --stats takes two values, which may be negative: taken off here too.
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] != kStats) {
            continue;
        }
        bool fromOk = false;
        bool toOk = false;
        const double from = i + 1 < args.size() ? args[i + 1].toDouble(&fromOk) : 0;
        const double to = i + 2 < args.size() ? args[i + 2].toDouble(&toOk) : 0;
        if (!fromOk || !toOk || !std::isfinite(from) || !std::isfinite(to)) {
            return usageError(QStringLiteral("--stats needs two times in seconds: --stats FROM TO"),
                              parser);
        }
        options.statsRange = {from, to};
        args.remove(i, 3);
        --i;
    }

    if (!parser.parse(args)) {
        return usageError(parser.errorText(), parser);
    }
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        return ExitRequest{.text = parser.helpText()};
    }
    if (parser.isSet(version)) {
        return ExitRequest{
            .text = QStringLiteral("%1 %2\n").arg(QCoreApplication::applicationName(),
                                                  QCoreApplication::applicationVersion())};
    }
    // Only --export-xls takes an argument of its own: where the workbook goes.
    const QStringList positional = parser.positionalArguments();
    const int allowed = parser.isSet(exportXls) ? 1 : 0;
    if (positional.size() > allowed) {
        return usageError(QStringLiteral("unexpected argument '%1'").arg(positional.at(allowed)),
                          parser);
    }
    options.exportJournal = parser.value(exportXls);
    options.exportOut = positional.value(0);
    options.journalDir = parser.value(journalDir);
    options.noJournal = parser.isSet(noJournal);

    options.simulate = parser.isSet(simulate);
    options.resource = parser.value(resource);
    options.visaLibrary = parser.value(visaLibrary);
    options.traceFile = parser.value(trace);
    options.saveDir = parser.value(saveDir);
    options.screenshotPath = parser.value(screenshot);
    options.dumpControlsPath = parser.value(dumpControls);
    options.scriptPath = parser.value(script);
    options.fast = parser.isSet(fast);
    options.check = parser.isSet(check);
    options.viewJournal = parser.value(view);
    // A real meter keeps real time: its scans and replies cannot be hurried.
    if (options.fast && !options.simulate) {
        return usageError(QStringLiteral("--fast needs --simulate: a real meter runs in real time"),
                          parser);
    }
    if (!options.screenshotPath.isEmpty() && !pictureFormat(options.screenshotPath.toStdString())) {
        return usageError(QStringLiteral("--screenshot writes a file ending in .png, .jpg or .bmp, "
                                         "not '%1'")
                              .arg(options.screenshotPath),
                          parser);
    }
    if (!options.scriptPath.isEmpty() && options.writesFilesOnly()) {
        return usageError(QStringLiteral("--script cannot be combined with --screenshot or "
                                         "--dump-controls (a script has its own screenshot and "
                                         "dump commands)"),
                          parser);
    }
    if (options.statsRange && !options.viewsJournal()) {
        return usageError(QStringLiteral("--stats needs --view JOURNAL.csv"), parser);
    }
    const bool meterOptions =
        options.simulate || !options.resource.isEmpty() || !options.visaLibrary.isEmpty() ||
        !options.traceFile.isEmpty() || !options.scriptPath.isEmpty() ||
        !options.dumpControlsPath.isEmpty() || options.check || !options.exportJournal.isEmpty();
    if (options.viewsJournal() && meterOptions) {
        return usageError(QStringLiteral("--view opens a journal without a meter; it combines only "
                                         "with --stats or --screenshot"),
                          parser);
    }
    if (options.statsRange && !options.screenshotPath.isEmpty()) {
        return usageError(QStringLiteral("--stats prints figures without a window; it cannot be "
                                         "combined with --screenshot"),
                          parser);
    }
    return options;
}

std::optional<ExitRequest> refusedSaveDir(const Options& options) {
    if (options.saveDir.isEmpty() ||
        xls::isWritableFolder(QFile::encodeName(options.saveDir).toStdString())) {
        return std::nullopt;
    }
    const QFileInfo folder(options.saveDir);
    const QString reason = !folder.exists()  ? QStringLiteral("does not exist")
                           : !folder.isDir() ? QStringLiteral("is not a folder")
                                             : QStringLiteral("cannot be written");
    return ExitRequest{
        .text = QStringLiteral("tq4700: --save-dir '%1' %2\n").arg(options.saveDir, reason),
        .toStderr = true,
        .status = kUsageStatus};
}

std::optional<ExitRequest> refusedTraceFile(const Options& options) {
    if (options.traceFile.isEmpty()) {
        return std::nullopt;
    }
    // Opened to append, so a trace that exists is not cut short here; the
    // link opens it afresh.
    QFile trace(options.traceFile);
    if (trace.open(QIODevice::WriteOnly | QIODevice::Append)) {
        return std::nullopt;
    }
    return ExitRequest{.text = QStringLiteral("tq4700: cannot write the trace file %1: %2\n")
                                   .arg(options.traceFile, trace.errorString()),
                       .toStderr = true,
                       .status = kUsageStatus};
}

}  // namespace tq
