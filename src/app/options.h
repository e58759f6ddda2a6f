#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <utility>
#include <variant>

namespace tq {

// What the command line asked for.
struct Options {
    // --simulate[=nocard]: the in-process simulated meter, with or without
    // its scanner card.
    bool simulate = false;
    bool simulateNoCard = false;
    QString resource;          // --resource NAME: the one resource every search reports
    QString visaLibrary;       // --visa-library PATH: this VISA library and no other
    QString traceFile;         // --trace FILE: every line sent and every reply, with times
    QString saveDir;           // --save-dir DIR: where the save panel writes workbooks
    QString screenshotPath;    // --screenshot FILE.png|jpg|bmp: render the window and exit
    QString dumpControlsPath;  // --dump-controls FILE.json: list every control and exit
    QString scriptPath;        // --script FILE ("-": standard input): drive the window
    bool fast = false;         // --fast (with --simulate): virtual time throughout
    bool check = false;        // --check: diagnose the link to the meter and exit
    QString journalDir;        // --journal-dir DIR: where run journals go (dated sub-folders)
    bool noJournal = false;    // --no-journal: runs are kept in memory only
    // --export-xls JOURNAL [OUT]: the workbook of a journal, then exit.
    QString exportJournal;
    QString exportOut;
    // --view JOURNAL.csv: that journal in the Analysis window alone; with
    // --stats FROM TO (seconds, both included) its figures as CSV instead.
    QString viewJournal;
    std::optional<std::pair<double, double>> statsRange;

    // The window is only started up and then rendered or described; it is
    // never handed to the user.
    bool viewsJournal() const { return !viewJournal.isEmpty(); }
    bool writesFilesOnly() const {
        return !screenshotPath.isEmpty() || !dumpControlsPath.isEmpty();
    }
};

// The command line read without side effects: options to run with, or text
// to print and the status to exit with.
struct ExitRequest {
    QString text;
    bool toStderr = false;
    int status = 0;
};
using ParsedCommandLine = std::variant<Options, ExitRequest>;

// Status of a command line that cannot be understood.
inline constexpr int kUsageStatus = 2;

// arguments as QCoreApplication::arguments() gives them (program first).
// --help and --version ask to print and exit 0; an unknown option or a
// missing value prints the reason and the usage to stderr and exits 2.
ParsedCommandLine parseCommandLine(const QStringList& arguments);

// A --save-dir that is no folder, or one we cannot write in, is refused
// before the window and the meter are touched, rather than after a run that
// could then not be saved: the reason for stderr and status 2.
std::optional<ExitRequest> refusedSaveDir(const Options& options);

// A --trace file that cannot be written is refused before the start-up, like
// a bad option: the reason for stderr and status 2. A trace file missing is
// created here.
std::optional<ExitRequest> refusedTraceFile(const Options& options);

}  // namespace tq
