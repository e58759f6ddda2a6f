#include "journal/journal_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <cerrno>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tq {
namespace {

constexpr int kMaxCopies = 999;

std::string localPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

std::string systemReason(int error) {
    return std::system_category().message(error);
}

// The folders up to the journal, made as mkdir -p does; 0 or the errno.
int makeFolders(const std::string& folder) {
    std::string partial;
    std::size_t pos = 0;
    while (pos != std::string::npos) {
        pos = folder.find('/', pos + 1);
        partial = folder.substr(0, pos);
        if (partial.empty()) {
            continue;
        }
        if (::mkdir(partial.c_str(), 0777) != 0 && errno != EEXIST) {
            return errno;
        }
    }
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0) {
        return errno;
    }
    return S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
}

// The new name reaches the disk with the file, so a crash cannot lose the
// journal's entry while keeping its rows.
void syncFolder(const std::string& folder) {
    const UniqueFd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.valid()) {
        ::fsync(dir.get());
    }
}

}  // namespace

QString defaultJournalRoot() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/tq4700/runs");
}

std::string serialForFileName(std::string_view serial) {
    std::string name;
    for (const char c : serial) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                           (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '_';
        name.push_back(plain ? c : '_');
    }
    // A leading dot would hide the file.
    if (!name.empty() && name.front() == '.') {
        name.front() = '_';
    }
    return name.empty() ? "unknown" : name;
}

QString journalPath(const QString& root, const QDateTime& started, std::string_view serial,
                    int copy) {
    QString name = started.toString(QStringLiteral("HHmmss")) + QLatin1Char('-') +
                   QString::fromStdString(serialForFileName(serial));
    if (copy > 1) {
        name += QLatin1Char('-') + QString::number(copy);
    }
    return root + QLatin1Char('/') + started.toString(QStringLiteral("yyyy-MM-dd")) +
           QLatin1Char('/') + name + QStringLiteral(".csv");
}

OpenedJournal createJournalFile(const QString& root, const QDateTime& started,
                                std::string_view serial) {
    OpenedJournal journal;
    const QString first = journalPath(root, started, serial);
    const std::string folder = localPath(QFileInfo(first).path());
    if (const int error = makeFolders(folder); error != 0) {
        journal.error = error;
        journal.path = first;
        journal.reason = "cannot create the folder " + folder + ": " + systemReason(error);
        return journal;
    }
    for (int copy = 1; copy <= kMaxCopies; ++copy) {
        journal.path = journalPath(root, started, serial, copy);
        const std::string path = localPath(journal.path);
        // O_EXCL: an existing journal is never written over or followed.
        journal.fd = UniqueFd(
            ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, 0666));
        if (journal.fd.valid()) {
            syncFolder(folder);
            return journal;
        }
        if (errno != EEXIST) {
            journal.error = errno;
            journal.reason = "cannot create " + path + ": " + systemReason(journal.error);
            return journal;
        }
    }
    journal.error = EEXIST;
    journal.reason = "every variant of the name is taken: " + localPath(first);
    return journal;
}

}  // namespace tq
