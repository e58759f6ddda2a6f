#include "export/save_panel.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTextStream>
#include <QTime>
#include <algorithm>
#include <array>
#include <optional>
#include <vector>

#include "common/clock.h"
#include "common/log.h"
#include "common/number_text.h"
#include "export/biff_workbook.h"
#include "export/export_sheet.h"
#include "export/workbook_file.h"
#include "panel/look.h"
#include "panel/message_boxes.h"
#include "panel/panel.h"
#include "store/record_store.h"

namespace tq {
namespace {

using xls::ExportFault;

struct FaultText {
    ExportFault fault;
    const char* text;
};

// The Chinese half of each message; the English half comes with the fault.
constexpr std::array kFaultTexts{
    FaultText{.fault = ExportFault::EmptyName, .text = "請輸入檔名"},
    FaultText{.fault = ExportFault::ForbiddenCharacter, .text = "檔名不可使用 \\ / : * ? \" < > |"},
    FaultText{.fault = ExportFault::ControlCharacter, .text = "檔名不可使用控制字元"},
    FaultText{.fault = ExportFault::LeadingDotOrBlank, .text = "檔名不可以 . 或空白開頭"},
    FaultText{.fault = ExportFault::TrailingDotOrBlank, .text = "檔名不可以 . 或空白結尾"},
    FaultText{.fault = ExportFault::NameTooLong, .text = "檔名太長"},
    FaultText{.fault = ExportFault::FolderMissing, .text = "存檔資料夾不存在"},
    FaultText{.fault = ExportFault::NotPermitted, .text = "存檔資料夾無寫入權限"},
    FaultText{.fault = ExportFault::NoSpace, .text = "磁碟空間不足"},
    FaultText{.fault = ExportFault::NoFreeName, .text = "同名檔案過多"},
    FaultText{.fault = ExportFault::WriteFailed, .text = "檔案寫入失敗"},
};

QString faultText(ExportFault fault) {
    for (const FaultText& entry : kFaultTexts) {
        if (entry.fault == fault) {
            return QString::fromUtf8(entry.text);
        }
    }
    return QString::fromUtf8("存檔失敗");
}

QString nameFaultMessage(const xls::NameCheck& check) {
    QString english = QString::fromStdString(check.explanation);
    if (!english.isEmpty()) {
        english[0] = english[0].toUpper();
    }
    return faultText(check.fault) + "!! (" + english + ".)";
}

QString writeFaultMessage(const xls::WriteResult& result) {
    return faultText(result.fault) +
           "!! (The data was not saved: " + QString::fromStdString(result.explanation) + ".)";
}

// One sheet row from store row s: a number only where the run stored a
// reading; a row outside the store gives empty cells.
xls::WorkbookRow storeRow(const RecordStore& store, std::int64_t s) {
    xls::WorkbookRow cells{};
    if (s < RecordStore::kFirstRow || s > RecordStore::kLastRow) {
        return cells;
    }
    const int row = static_cast<int>(s);
    cells[0] = store.time(row);
    for (int c = RecordStore::kFirstSeriesColumn; c <= RecordStore::kLastSeriesColumn; ++c) {
        if (store.runFills(c)) {
            cells[static_cast<std::size_t>(c)] = store.value(row, c);
        }
    }
    return cells;
}

std::string localPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

class BusyFlag {
  public:
    explicit BusyFlag(bool& flag) : flag_(flag) { flag_ = true; }
    BusyFlag(const BusyFlag&) = delete;
    BusyFlag& operator=(const BusyFlag&) = delete;
    ~BusyFlag() { flag_ = false; }

  private:
    bool& flag_;
};

}  // namespace

void SaveSettings::printSavedPath(const QString& path) {
    QTextStream(stdout) << "saved: " << path << Qt::endl;
}

xls::TimeOfDay localTimeOfDay() {
    const QTime now = QTime::currentTime();
    return {.hour = now.hour(), .minute = now.minute(), .second = now.second()};
}

SavePanel::SavePanel(Panel& panel, Clock& clock, const RecordStore& store, MessageBoxes& boxes,
                     SaveSettings settings, TimeOfDaySource timeOfDay)
    : p_(panel),
      clock_(clock),
      store_(store),
      boxes_(boxes),
      settings_(std::move(settings)),
      timeOfDay_(std::move(timeOfDay)) {
    // Below the progress text, in the panel's navy; long paths wrap.
    savedPath_ = new QLabel(p_.Frame9);
    savedPath_->setObjectName("SavedPath");
    setTwipsGeometry(savedPath_, 240, 3480, 9345, 975);
    savedPath_->setFont(look::arial(9));
    QPalette palette = savedPath_->palette();
    palette.setColor(QPalette::WindowText, look::kNavy);
    savedPath_->setPalette(palette);
    savedPath_->setAlignment(Qt::AlignCenter);
    savedPath_->setWordWrap(true);
}

void SavePanel::connectEvents() {
    QObject::connect(p_.ComSaveFrame, &QPushButton::clicked, p_.ComSaveFrame,
                     [this] { ComSaveFrame_Click(); });
    QObject::connect(p_.CmdSave, &QPushButton::clicked, p_.CmdSave, [this] { CmdSave_Click(); });
}

void SavePanel::clearSavedPath() {
    lastSavedPath_.clear();
    savedPath_->clear();
    savedPath_->setToolTip(QString());
}

void SavePanel::ComSaveFrame_Click() {
    p_.Frame9->setVisible(p_.Frame9->isHidden());
}

std::string SavePanel::exportFolder() const {
    std::optional<std::string> chosen;
    if (!settings_.saveDir.isEmpty()) {
        chosen = localPath(settings_.saveDir);
    }
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty()) {
        documents = QDir::homePath();
    }
    const std::array candidates{localPath(QCoreApplication::applicationDirPath()),
                                localPath(documents)};
    return xls::chooseExportFolder(chosen, candidates, xls::isWritableFolder);
}

void SavePanel::CmdSave_Click() {
    if (saving_) {
        return;
    }
    const BusyFlag busy(saving_);

    const std::string baseName(xls::withoutWorkbookExtension(p_.TxtFileName->text().toStdString()));
    if (const xls::NameCheck check = xls::checkBaseName(baseName);
        check.fault != ExportFault::None) {
        boxes_.show(nameFaultMessage(check), defaultMessageTitle(), MessageBoxes::Buttons::Ok,
                    MessageBoxes::Icon::Exclamation);
        return;
    }
    clearSavedPath();
    p_.Label6->setText(QString::fromUtf8(kSavingText));
    if (!writeWorkbook(baseName)) {
        return;
    }
    // Marked saved before the events are served: a run started from there
    // enables the button for its own record, which must stay unsaved.
    markRecordSaved();
    p_.Label6->setText(QString::fromUtf8(kSavedText));
    clock_.yield();
    clock_.pause(kSavedTextMs);
    p_.Label6->clear();
    p_.Frame9->hide();
}

bool SavePanel::writeWorkbook(const std::string& baseName) {
    // The run as the record holds it, from its first point to the last one
    // taken: what the display fields say since cannot move or cut it.
    const std::int64_t firstRow = store_.firstPointRow();
    const auto rowCount = static_cast<std::size_t>(std::max<std::int64_t>(store_.pointsTaken(), 0));
    const xls::TimeOfDay time = timeOfDay_();

    std::array<std::string, 10> functions;
    for (std::size_t i = 0; i < functions.size(); ++i) {
        functions[i] = p_.CboFunc[i]->currentText().toStdString();
    }
    const std::vector<std::uint8_t> bytes = xls::runWorkbook(
        functions, rowCount,
        [&](std::size_t r) { return storeRow(store_, firstRow + static_cast<std::int64_t>(r)); });

    const std::string folder = exportFolder();
    const xls::WriteResult result = xls::writeWorkbookFile(folder, baseName, time, bytes);
    qCDebug(lcExport, "%zu points, %zu bytes: %s %s", rowCount, bytes.size(),
            result.explanation.c_str(), result.path.c_str());
    if (!result.ok()) {
        p_.Label6->clear();
        boxes_.show(writeFaultMessage(result), defaultMessageTitle(), MessageBoxes::Buttons::Ok,
                    MessageBoxes::Icon::Critical);
        return false;
    }
    const bool renamed =
        result.path != xls::workbookPath(folder, baseName, xls::timeStampText(time));
    const QString path = QFile::decodeName(result.path.c_str());
    showSavedPath(path, renamed);
    if (settings_.announceSaved) {
        settings_.announceSaved(path);
    }
    return true;
}

void SavePanel::showSavedPath(const QString& path, bool renamed) {
    lastSavedPath_ = path;
    // Zero-width spaces after the separators let a long path wrap.
    QString shown = path;
    shown.replace(QLatin1Char('/'), QStringLiteral("/\u200B"));
    QString text = QString::fromUtf8("存檔位置 (Saved to): ") + shown;
    if (renamed) {
        text += QString::fromUtf8(
            "\n同名檔案已存在, 原檔保留 (A file of that name exists; it was kept.)");
    }
    savedPath_->setText(text);
    savedPath_->setToolTip(path);
}

void SavePanel::markRecordSaved() {
    QPushButton* button = p_.ComSaveFrame;
    const QPalette system = QApplication::palette(button);
    QPalette palette = button->palette();
    for (const QPalette::ColorGroup group :
         {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Button, system.color(group, QPalette::Button));
    }
    button->setPalette(palette);
    button->setEnabled(false);
}

}  // namespace tq
