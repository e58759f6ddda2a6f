#pragma once

#include <QDateTime>
#include <QString>
#include <string>
#include <string_view>

#include "common/unique_fd.h"

namespace tq {

// The folder whose dated sub-folders hold the journals by default:
// $XDG_DATA_HOME/tq4700/runs (~/.local/share/tq4700/runs).
QString defaultJournalRoot();

// "TW00000001" as it can stand in a file name: anything but letters,
// digits, '.', '-' and '_' becomes '_'; "unknown" when empty.
std::string serialForFileName(std::string_view serial);

// root/YYYY-MM-DD/HHMMSS-serial.csv, or -2, -3, ... for copy 2, 3, ...
QString journalPath(const QString& root, const QDateTime& started, std::string_view serial,
                    int copy = 1);

// A journal file opened for appending; created with its folders, never over
// an existing file (the name takes -2, -3, ... instead).
struct OpenedJournal {
    UniqueFd fd;
    QString path;
    int error = 0;       // errno when it could not be created
    std::string reason;  // English, with the path and the system's reason
};
OpenedJournal createJournalFile(const QString& root, const QDateTime& started,
                                std::string_view serial);

}  // namespace tq
