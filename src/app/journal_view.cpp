#include "app/journal_view.h"

#include <QApplication>
#include <QTextStream>
#include <optional>

#include "analysis/trace_stats.h"
#include "analysis_view/analysis_window.h"
#include "app/options.h"
#include "app/snapshot.h"
#include "journal/journal_reader.h"

namespace tq {

namespace {

// The status of a journal that gave nothing at all.
constexpr int kUnreadableStatus = 1;

// The journal read back, its problems said on stderr; none when nothing at
// all could be read from it.
std::optional<JournalRun> readAndReport(const QString& path) {
    JournalRun journal = readJournal(path);
    QTextStream err(stderr);
    for (const std::string& problem : journal.problems) {
        err << QStringLiteral("tq4700: %1: %2\n").arg(path, QString::fromStdString(problem));
    }
    if (journal.points.empty() && journal.channels.empty() && !journal.problems.empty()) {
        return std::nullopt;
    }
    return journal;
}

}  // namespace

int printJournalStats(const Options& options) {
    const std::optional<JournalRun> journal = readAndReport(options.viewJournal);
    if (!journal || !options.statsRange) {
        return kUnreadableStatus;
    }
    const RunModel model = RunModel::fromJournal(*journal);
    QTextStream(stdout) << QString::fromStdString(
        statsCsv(model, options.statsRange->first, options.statsRange->second, XAxis::Seconds));
    return 0;
}

int runJournalView(const Options& options) {
    if (options.statsRange) {
        return printJournalStats(options);
    }
    const std::optional<JournalRun> journal = readAndReport(options.viewJournal);
    if (!journal) {
        return kUnreadableStatus;
    }
    QTextStream err(stderr);

    AnalysisWindow window;
    window.showJournal(*journal, options.viewJournal);
    if (!options.screenshotPath.isEmpty()) {
        window.resize(1200, 900);
        QString error;
        if (!writeScreenshot(window, options.screenshotPath, &error)) {
            err << QStringLiteral("tq4700: %1\n").arg(error);
            return 1;
        }
        return 0;
    }
    window.show();
    return QApplication::exec();
}

}  // namespace tq
