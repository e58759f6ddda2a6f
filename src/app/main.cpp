#include <QApplication>
#include <QTextStream>
#include <algorithm>
#include <optional>
#include <variant>

#include "app/export_xls_command.h"
#include "app/form1.h"
#include "app/journal_view.h"
#include "app/meter_link.h"
#include "app/options.h"
#include "app/qt_arguments.h"
#include "app/qt_message_boxes.h"
#include "app/run_journal.h"
#include "app/script/scripted_program.h"
#include "app/snapshot.h"
#include "common/real_clock.h"
#include "common/steady_clock.h"
#include "common/virtual_clock.h"
#include "instrument/link_check.h"
#include "journal/journal_writer.h"
#include "panel/look.h"

namespace {

// The window after its start-up, written to files. The start-up runs on
// virtual time, the simulated meter with it, so its pauses cost nothing.
int renderAfterStartUp(const tq::Options& options) {
    tq::VirtualClock clock;
    clock.setYieldHook([] { QCoreApplication::processEvents(); });
    tq::visa::Link link = tq::openMeterLink(options, clock);
    tq::UnattendedMessageBoxes boxes;
    tq::Form1 form(
        {.clock = clock, .boxes = boxes, .visa = *link.visa, .options = options, .endProgram = {}});
    form.runStartUp();
    const int status = tq::writeRequestedFiles(form, options);
    // Leaves the meter as Exit would: back under its own front panel.
    form.session().release();
    return status;
}

// --check: the diagnosis on the terminal; 0 when a meter opens.
int checkLink(const tq::Options& options) {
    tq::SteadyClock clock;
    tq::visa::LinkOptions link = tq::linkOptions(options, clock);
    link.traceFile.clear();
    const tq::visa::LinkCheck check = tq::visa::checkLink(link);
    QTextStream(stdout) << QString::fromStdString(check.report());
    return check.meterOpens() ? 0 : 1;
}

// A request answered: its text printed, its status to exit with.
int answer(const tq::ExitRequest& request) {
    QTextStream(request.toStderr ? stderr : stdout) << request.text;
    return request.status;
}

// A save folder or a trace file that cannot be used, refused before the
// window and the meter are touched.
std::optional<tq::ExitRequest> refusedFiles(const tq::Options& options) {
    if (auto refused = tq::refusedSaveDir(options)) {
        return refused;
    }
    return tq::refusedTraceFile(options);
}

// A faulty command line may hold Qt's own options, which QApplication takes
// off before the program reads the rest; with a window system the program
// leaves them to it. Without one QApplication cannot start at all, so the
// command line is judged here with Qt's options taken off as QApplication
// would take them: the same message, without the display.
std::optional<int> answeredFaultyLine(const tq::ExitRequest& request,
                                      const QStringList& arguments) {
    // One that asks for a workbook holds none of Qt's options.
    const bool exporting = std::any_of(arguments.begin(), arguments.end(), [](const QString& arg) {
        return arg.startsWith(QStringLiteral("--export-xls"));
    });
    if (request.status == 0 || exporting) {
        return answer(request);
    }
    if (tq::windowSystemNamed(arguments)) {
        return std::nullopt;
    }
    const tq::ParsedCommandLine bare = tq::parseCommandLine(tq::withoutQtOptions(arguments));
    if (const auto* refused = std::get_if<tq::ExitRequest>(&bare)) {
        return answer(*refused);
    }
    return std::nullopt;
}

// --help, --version, --check, --export-xls, a journal's figures (--view
// FILE --stats FROM TO) and a faulty command line are answered before the
// window system is opened, so they work without a display (a terminal over
// ssh, a package build, a script).
std::optional<int> answeredWithoutDisplay(int& argc, char** argv) {
    const QCoreApplication probe(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const tq::ParsedCommandLine parsed = tq::parseCommandLine(arguments);
    const auto* options = std::get_if<tq::Options>(&parsed);
    if (options == nullptr) {
        return answeredFaultyLine(std::get<tq::ExitRequest>(parsed), arguments);
    }
    if (options->check) {
        return checkLink(*options);
    }
    if (!options->exportJournal.isEmpty()) {
        return tq::exportJournalWorkbook(options->exportJournal, options->exportOut);
    }
    if (options->statsRange) {
        return tq::printJournalStats(*options);
    }
    // The parser refuses every option of Qt's, so QApplication would read
    // this same command line.
    if (const auto refused = refusedFiles(*options)) {
        return answer(*refused);
    }
    return std::nullopt;
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication::setApplicationName(QStringLiteral("tq4700"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TQ_VERSION));
    if (const auto status = answeredWithoutDisplay(argc, argv)) {
        return *status;
    }
    QApplication app(argc, argv);
    // Message boxes take the application's font; their texts are Chinese too.
    QApplication::setFont(tq::look::withChineseFaces(QApplication::font()));

    const tq::ParsedCommandLine parsed = tq::parseCommandLine(QApplication::arguments());
    if (const auto* request = std::get_if<tq::ExitRequest>(&parsed)) {
        return answer(*request);
    }
    const tq::Options& options = std::get<tq::Options>(parsed);
    if (const auto refused = refusedFiles(options)) {
        return answer(*refused);
    }
    if (options.viewsJournal()) {
        return tq::runJournalView(options);
    }
    if (options.writesFilesOnly()) {
        return renderAfterStartUp(options);
    }
    if (!options.scriptPath.isEmpty() || options.fast) {
        return tq::runScriptedProgram(options);
    }

    tq::RealClock clock;
    tq::visa::Link link = tq::openMeterLink(options, clock);
    tq::QtMessageBoxes boxes;
    // Outlives the window, whose runs it follows.
    std::unique_ptr<tq::JournalWriter> journal;
    tq::Form1 form({.clock = clock,
                    .boxes = boxes,
                    .visa = *link.visa,
                    .options = options,
                    .endProgram = [&form] {
                        form.hide();
                        QCoreApplication::exit(0);
                    }});
    journal = tq::attachRunJournal(form, options, clock);
    boxes.setParentWidget(&form);
    form.show();
    return QApplication::exec();
}
