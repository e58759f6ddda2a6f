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

// --help, --version, --check, --export-xls and a journal's figures (--view
// FILE --stats FROM TO) are answered before the window system is opened, so
// they work without a display (a terminal over ssh, a package build, a
// script). Any other command line, Qt's own options among them, waits for
// QApplication.
std::optional<int> answeredWithoutDisplay(int& argc, char** argv) {
    const QCoreApplication probe(argc, argv);
    const tq::ParsedCommandLine parsed = tq::parseCommandLine(QCoreApplication::arguments());
    if (const auto* options = std::get_if<tq::Options>(&parsed)) {
        if (options->check) {
            return checkLink(*options);
        }
        if (!options->exportJournal.isEmpty()) {
            return tq::exportJournalWorkbook(options->exportJournal, options->exportOut);
        }
        if (options->statsRange) {
            return tq::printJournalStats(*options);
        }
    }
    const auto* request = std::get_if<tq::ExitRequest>(&parsed);
    if (request == nullptr) {
        return std::nullopt;
    }
    // A faulty command line may hold Qt's own options, which only
    // QApplication knows; one that asks for a workbook has none of them.
    const QStringList arguments = QCoreApplication::arguments();
    const bool exporting = std::any_of(arguments.begin(), arguments.end(), [](const QString& arg) {
        return arg.startsWith(QStringLiteral("--export-xls"));
    });
    if (request->status != 0 && !exporting) {
        return std::nullopt;
    }
    QTextStream(request->toStderr ? stderr : stdout) << request->text;
    return request->status;
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
        QTextStream(request->toStderr ? stderr : stdout) << request->text;
        return request->status;
    }
    const tq::Options& options = std::get<tq::Options>(parsed);
    if (const auto refused = tq::refusedSaveDir(options)) {
        QTextStream(stderr) << refused->text;
        return refused->status;
    }
    if (const auto refused = tq::refusedTraceFile(options)) {
        QTextStream(stderr) << refused->text;
        return refused->status;
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
