#include "app/export_xls_command.h"

#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <algorithm>

#include "export/journal_workbook.h"
#include "export/save_panel.h"
#include "journal/journal_reader.h"

namespace tq {

int exportJournalWorkbook(const QString& journalPath, const QString& outPath) {
    QTextStream err(stderr);
    const JournalRun run = readJournal(journalPath);
    // A crash leaves a cut last line: worth a note, not a refusal.
    for (const std::string& problem : run.problems) {
        err << "tq4700: " << journalPath << ": " << QString::fromStdString(problem) << Qt::endl;
    }
    const bool readable = std::none_of(run.problems.begin(), run.problems.end(), [](const auto& p) {
        return p.starts_with("cannot open") || p.starts_with("no header row");
    });
    if (!readable) {
        err << "tq4700: " << journalPath << " is no run journal; nothing written" << Qt::endl;
        return 1;
    }
    const QString out = QFileInfo(outPath.isEmpty() ? xls::workbookPathFor(journalPath) : outPath)
                            .absoluteFilePath();
    const xls::WriteResult result =
        xls::writeWorkbookAs(QFile::encodeName(out).toStdString(), xls::journalWorkbook(run));
    if (!result.ok()) {
        err << "tq4700: " << QString::fromStdString(result.explanation) << Qt::endl;
        return 1;
    }
    SaveSettings::printSavedPath(QFile::decodeName(result.path.c_str()));
    return 0;
}

}  // namespace tq
