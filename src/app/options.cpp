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

namespace {

// The options of the meter and its link, of the window's files and of the
// run journals; declared in three groups, added in the order --help lists
// them.
struct MeterOptions {
    QCommandLineOption simulate;
    QCommandLineOption resource;
    QCommandLineOption visaLibrary;
    QCommandLineOption trace;
    QCommandLineOption fast;
    QCommandLineOption check;
};

struct WindowOptions {
    QCommandLineOption saveDir;
    QCommandLineOption screenshot;
    QCommandLineOption dumpControls;
    QCommandLineOption script;
};

struct JournalOptions {
    QCommandLineOption journalDir;
    QCommandLineOption noJournal;
    QCommandLineOption exportXls;
    QCommandLineOption view;
};

struct DeclaredOptions {
    QCommandLineOption help;
    QCommandLineOption version;
    MeterOptions meter;
    WindowOptions window;
    JournalOptions journal;
};

MeterOptions meterOptions() {
    return {
        .simulate = QCommandLineOption(
            QStringLiteral("simulate"),
            QStringLiteral("Talk to the built-in simulated meter instead of a real one. "
                           "--simulate=nocard: a simulated meter without its scanner card.")),
        .resource = QCommandLineOption(
            QStringLiteral("resource"),
            QStringLiteral(
                "Use the VISA resource <name> (USB...::INSTR, TCPIP::host::port::SOCKET) "
                "as the one meter on the bus."),
            QStringLiteral("name")),
        .visaLibrary = QCommandLineOption(
            QStringLiteral("visa-library"),
            QStringLiteral("Load this VISA library and no other (default: the system's, else the "
                           "built-in USB-TMC and socket support)."),
            QStringLiteral("path")),
        .trace = QCommandLineOption(
            QStringLiteral("trace"),
            QStringLiteral("Write every line sent to the meter and every reply, with times, to "
                           "<file>."),
            QStringLiteral("file")),
        .fast = QCommandLineOption(
            QStringLiteral("fast"),
            QStringLiteral("With --simulate: run on simulated time throughout, so runs take only "
                           "as long as their drawing.")),
        .check = QCommandLineOption(
            QStringLiteral("check"),
            QStringLiteral("Print what stands between the program and the meter (the VISA "
                           "library, the USB-TMC devices and whether they can be opened, the udev "
                           "rule) and exit: 0 when a meter can be opened, 1 otherwise.")),
    };
}

WindowOptions windowOptions() {
    return {
        .saveDir = QCommandLineOption(QStringLiteral("save-dir"),
                                      QStringLiteral("Write exported workbooks into <dir>."),
                                      QStringLiteral("dir")),
        .screenshot = QCommandLineOption(
            QStringLiteral("screenshot"),
            QStringLiteral("Start up on simulated time, render the window to <file> (PNG, JPEG or "
                           "BMP, as its extension .png, .jpg or .bmp says) and exit."),
            QStringLiteral("file")),
        .dumpControls = QCommandLineOption(
            QStringLiteral("dump-controls"),
            QStringLiteral("Start up on simulated time, write every control with its state to "
                           "<file> (JSON) and exit."),
            QStringLiteral("file")),
        .script = QCommandLineOption(
            QStringLiteral("script"),
            QStringLiteral("Drive the window with the control script <file> (\"-\": standard "
                           "input) once the start-up has finished. One command a line: type NAME "
                           "TEXT, keys NAME TEXT, pick NAME ITEM, click NAME, wait MS, wait-run, "
                           "expect NAME TEXT, answer yes|no|ok, screenshot FILE, dump FILE.json, "
                           "exit."),
            QStringLiteral("file")),
    };
}

JournalOptions journalOptions() {
    return {
        .journalDir = QCommandLineOption(
            QStringLiteral("journal-dir"),
            QStringLiteral("Keep run journals in <dir>/YYYY-MM-DD/ (default: "
                           "$XDG_DATA_HOME/tq4700/runs, i.e. ~/.local/share/tq4700/runs)."),
            QStringLiteral("dir")),
        .noJournal = QCommandLineOption(QStringLiteral("no-journal"),
                                        QStringLiteral("Write no run journal.")),
        .exportXls = QCommandLineOption(
            QStringLiteral("export-xls"),
            QStringLiteral("Write the workbook of the run journal <journal> (to OUT, the only "
                           "argument allowed after it; default: beside the journal, .xls) and "
                           "exit. Needs no display and no meter."),
            QStringLiteral("journal")),
        .view = QCommandLineOption(
            QStringLiteral("view"),
            QStringLiteral("Open the run journal <file> in the Analysis window alone (no meter, "
                           "no front panel). With --stats FROM TO: print every trace's count, "
                           "missing, overloads, min, max, mean, std, rms and p2p between FROM and "
                           "TO seconds (both included) as CSV and exit. With --screenshot: render "
                           "the window and exit."),
            QStringLiteral("file")),
    };
}

DeclaredOptions declareOptions(QCommandLineParser& parser) {
    parser.setApplicationDescription(
        QStringLiteral("Front panel for the TQ4700 multimeter and its scanner card."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    DeclaredOptions declared{.help = help,
                             .version = version,
                             .meter = meterOptions(),
                             .window = windowOptions(),
                             .journal = journalOptions()};
    const MeterOptions& m = declared.meter;
    const WindowOptions& w = declared.window;
    const JournalOptions& j = declared.journal;
    parser.addOptions({m.simulate, m.resource, m.visaLibrary, m.trace, w.saveDir, w.screenshot,
                       w.dumpControls, w.script, m.fast, m.check, j.journalDir, j.noJournal,
                       j.exportXls, j.view});
    return declared;
}

// The parser knows only flags and options with a required value; the one
// optional value of --simulate is taken off before it looks. The reason
// when the value is not one we know.
std::optional<QString> takeSimulateValue(QStringList& args, Options& options) {
    for (QString& arg : args) {
        if (arg == kSimulateNoCard) {
            options.simulateNoCard = true;
            arg = kSimulate;
        } else if (arg.startsWith(kSimulate + QLatin1Char('='))) {
            return QStringLiteral("unknown value in '%1' (only 'nocard')").arg(arg);
        }
    }
    return std::nullopt;
}

// --stats takes two values, which may be negative: taken off here too.
std::optional<QString> takeStatsRange(QStringList& args, Options& options) {
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] != kStats) {
            continue;
        }
        bool fromOk = false;
        bool toOk = false;
        const double from = i + 1 < args.size() ? args[i + 1].toDouble(&fromOk) : 0;
        const double to = i + 2 < args.size() ? args[i + 2].toDouble(&toOk) : 0;
        if (!fromOk || !toOk || !std::isfinite(from) || !std::isfinite(to)) {
            return QStringLiteral("--stats needs two times in seconds: --stats FROM TO");
        }
        options.statsRange = {from, to};
        args.remove(i, 3);
        --i;
    }
    return std::nullopt;
}

// The values of a parsed command line; the reason when an argument is left
// over.
std::optional<QString> readOptions(const QCommandLineParser& parser,
                                   const DeclaredOptions& declared, Options& options) {
    const MeterOptions& m = declared.meter;
    const WindowOptions& w = declared.window;
    const JournalOptions& j = declared.journal;
    // Only --export-xls takes an argument of its own: where the workbook goes.
    const QStringList positional = parser.positionalArguments();
    const int allowed = parser.isSet(j.exportXls) ? 1 : 0;
    if (positional.size() > allowed) {
        return QStringLiteral("unexpected argument '%1'").arg(positional.at(allowed));
    }
    options.exportJournal = parser.value(j.exportXls);
    options.exportOut = positional.value(0);
    options.journalDir = parser.value(j.journalDir);
    options.noJournal = parser.isSet(j.noJournal);

    options.simulate = parser.isSet(m.simulate);
    options.resource = parser.value(m.resource);
    options.visaLibrary = parser.value(m.visaLibrary);
    options.traceFile = parser.value(m.trace);
    options.saveDir = parser.value(w.saveDir);
    options.screenshotPath = parser.value(w.screenshot);
    options.dumpControlsPath = parser.value(w.dumpControls);
    options.scriptPath = parser.value(w.script);
    options.fast = parser.isSet(m.fast);
    options.check = parser.isSet(m.check);
    options.viewJournal = parser.value(j.view);
    return std::nullopt;
}

// Options that cannot go together, or not alone: the reason for the first
// such pair.
std::optional<QString> conflictingOptions(const Options& options) {
    // A real meter keeps real time: its scans and replies cannot be hurried.
    if (options.fast && !options.simulate) {
        return QStringLiteral("--fast needs --simulate: a real meter runs in real time");
    }
    if (!options.screenshotPath.isEmpty() && !pictureFormat(options.screenshotPath.toStdString())) {
        return QStringLiteral("--screenshot writes a file ending in .png, .jpg or .bmp, not '%1'")
            .arg(options.screenshotPath);
    }
    if (!options.scriptPath.isEmpty() && options.writesFilesOnly()) {
        return QStringLiteral(
            "--script cannot be combined with --screenshot or --dump-controls (a "
            "script has its own screenshot and dump commands)");
    }
    if (options.statsRange && !options.viewsJournal()) {
        return QStringLiteral("--stats needs --view JOURNAL.csv");
    }
    const bool meterOptions =
        options.simulate || !options.resource.isEmpty() || !options.visaLibrary.isEmpty() ||
        !options.traceFile.isEmpty() || !options.scriptPath.isEmpty() ||
        !options.dumpControlsPath.isEmpty() || options.check || !options.exportJournal.isEmpty();
    if (options.viewsJournal() && meterOptions) {
        return QStringLiteral(
            "--view opens a journal without a meter; it combines only with --stats or "
            "--screenshot");
    }
    if (options.statsRange && !options.screenshotPath.isEmpty()) {
        return QStringLiteral(
            "--stats prints figures without a window; it cannot be combined with --screenshot");
    }
    return std::nullopt;
}

}  // namespace

ParsedCommandLine parseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    const DeclaredOptions declared = declareOptions(parser);
    Options options;
    QStringList args = arguments;
    std::optional<QString> refused = takeSimulateValue(args, options);
    if (!refused) {
        refused = takeStatsRange(args, options);
    }
    if (refused) {
        return usageError(*refused, parser);
    }
    if (!parser.parse(args)) {
        return usageError(parser.errorText(), parser);
    }
    if (parser.isSet(declared.help) || parser.isSet(QStringLiteral("help-all"))) {
        return ExitRequest{.text = parser.helpText()};
    }
    if (parser.isSet(declared.version)) {
        return ExitRequest{
            .text = QStringLiteral("%1 %2\n").arg(QCoreApplication::applicationName(),
                                                  QCoreApplication::applicationVersion())};
    }
    refused = readOptions(parser, declared, options);
    if (!refused) {
        refused = conflictingOptions(options);
    }
    if (refused) {
        return usageError(*refused, parser);
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
