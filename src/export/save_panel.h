#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <string>

#include "export/export_names.h"

class QLabel;

namespace tq {

class Clock;
class MessageBoxes;
class RecordStore;
struct Panel;

// Where the workbook goes, as the command line set it.
struct SaveSettings {
    // --save-dir DIR. Empty: the program's folder when it can be written,
    // otherwise the user's documents folder (home when there is none).
    QString saveDir;
    // Told the path of every workbook written; by default it goes to
    // standard output as "saved: PATH", for whoever started the program.
    std::function<void(const QString& path)> announceSaved = printSavedPath;

    static void printSavedPath(const QString& path);
};

// The time of day in the file name; read once per export.
using TimeOfDaySource = std::function<xls::TimeOfDay()>;
xls::TimeOfDay localTimeOfDay();

inline constexpr const char* kSavingText = "資料處理中..";
inline constexpr const char* kSavedText = "資料處理完成.";
inline constexpr std::int64_t kSavedTextMs = 1500;

// The save panel Frame9: writes the finished run's record to a workbook
// named after TxtFileName and the time of day. A refused name or a failed
// write leaves the record, the panel and the save button as they were, so
// the user can mend the cause and save again.
class SavePanel {
  public:
    // Adds the line under the progress text that names the file written.
    SavePanel(Panel& panel, Clock& clock, const RecordStore& store, MessageBoxes& boxes,
              SaveSettings settings, TimeOfDaySource timeOfDay = localTimeOfDay);

    void connectEvents();

    void ComSaveFrame_Click();
    void CmdSave_Click();
    // Before a new run (whose record is saved nowhere yet) and before each
    // export: the line naming the last file written goes.
    void clearSavedPath();

    // The folder the next export goes to.
    std::string exportFolder() const;
    // The file the last export wrote; empty before the first, after a
    // failed one and once a new run starts.
    const QString& lastSavedPath() const { return lastSavedPath_; }
    QLabel* savedPathLabel() const { return savedPath_; }

  private:
    bool writeWorkbook(const std::string& baseName);
    void showSavedPath(const QString& path, bool renamed);
    void markRecordSaved();

    Panel& p_;
    Clock& clock_;
    const RecordStore& store_;
    MessageBoxes& boxes_;
    SaveSettings settings_;
    TimeOfDaySource timeOfDay_;
    QLabel* savedPath_ = nullptr;
    QString lastSavedPath_;
    bool saving_ = false;
};

}  // namespace tq
