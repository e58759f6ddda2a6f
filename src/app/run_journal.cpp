#include "app/run_journal.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QTextStream>

#include "app/form1.h"
#include "app/options.h"
#include "journal/journal_file.h"
#include "journal/journal_writer.h"
#include "panel/panel.h"
#include "panel/warning_strip.h"
#include "status/status_line.h"

namespace tq {

std::unique_ptr<JournalWriter> attachRunJournal(Form1& form, const Options& options, Clock& clock) {
    if (options.noJournal) {
        return nullptr;
    }
    Panel& panel = form.panel();
    JournalSettings settings;
    settings.root = options.journalDir.isEmpty() ? defaultJournalRoot() : options.journalDir;
    settings.program =
        QStringLiteral("%1 %2")
            .arg(QCoreApplication::applicationName(), QCoreApplication::applicationVersion())
            .toStdString();
    settings.rowFunctions = [&panel] {
        std::vector<std::string> functions;
        for (const QComboBox* combo : panel.CboFunc) {
            functions.push_back(combo->currentText().toStdString());
        }
        return functions;
    };
    settings.opened = [&form](const QString& path) {
        QTextStream(stdout) << "journal: " << path << Qt::endl;
        form.statusLine().setJournalPath(path);
    };
    settings.failed = [&panel](const QString& reason) {
        QTextStream(stderr) << "tq4700: journal: " << reason << Qt::endl;
        showWarningStrip(panel, QString::fromUtf8(kJournalWarning));
    };
    auto journal = std::make_unique<JournalWriter>(clock, std::move(settings));
    form.addRunObserver(journal.get());
    return journal;
}

}  // namespace tq
