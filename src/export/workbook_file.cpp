#include "export/workbook_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <functional>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/unique_fd.h"

namespace tq::xls {
namespace {

constexpr int kMaxCopies = 999;
constexpr int kMaxTempAttempts = 100;

ExportFault faultOf(int error) {
    switch (error) {
        case ENOENT:
        case ENOTDIR:
            return ExportFault::FolderMissing;
        case EACCES:
        case EPERM:
        case EROFS:
            return ExportFault::NotPermitted;
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
            return ExportFault::NoSpace;
        case ENAMETOOLONG:
            return ExportFault::NameTooLong;
        default:
            return ExportFault::WriteFailed;
    }
}

WriteResult failure(int error, std::string path, const char* what) {
    std::string text =
        std::string(what) + " " + path + ": " + std::system_category().message(error);
    return {.fault = faultOf(error),
            .path = std::move(path),
            .systemError = error,
            .explanation = std::move(text)};
}

// A file in the export folder that disappears again unless committed.
class TempFile {
  public:
    TempFile() = default;
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    ~TempFile() {
        fd_.reset();
        if (!path_.empty()) {
            ::unlink(path_.c_str());
        }
    }

    // Returns 0 or the errno of the failure.
    int create(const std::string& folder) {
        for (int attempt = 0; attempt < kMaxTempAttempts; ++attempt) {
            std::string path = folder + "/.tq4700-export-" + std::to_string(::getpid()) + "-" +
                               std::to_string(attempt) + ".tmp";
            // O_EXCL: never reuse or follow something that is already there.
            UniqueFd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
            if (fd.valid()) {
                fd_ = std::move(fd);
                path_ = std::move(path);
                return 0;
            }
            if (errno != EEXIST) {
                return errno;
            }
        }
        return EEXIST;
    }

    int write(std::span<const std::uint8_t> bytes) {
        while (!bytes.empty()) {
            const ssize_t n = ::write(fd_.get(), bytes.data(), bytes.size());
            if (n < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return errno;
            }
            if (n == 0) {
                return ENOSPC;
            }
            bytes = bytes.subspan(static_cast<std::size_t>(n));
        }
        return 0;
    }

    // Flushed to the disk before it gets its name: a crash right after the
    // rename must not leave an empty or partial workbook under that name.
    int finish() {
        if (::fsync(fd_.get()) != 0) {
            return errno;
        }
        // Closed here, not by the owner, because a failed close can mean a
        // lost write.
        return ::close(fd_.release()) != 0 ? errno : 0;
    }

    // Gives the file its final name unless that name exists. Returns 0,
    // EEXIST when the name is taken, or another errno.
    int publish(const std::string& target) {
        if (::renameat2(AT_FDCWD, path_.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) {
            path_.clear();
            return 0;
        }
        if (errno != EINVAL && errno != ENOSYS) {
            return errno;
        }
        // File systems without a no-replace rename (some network mounts):
        // look first, accepting the short race.
        struct stat st {};
        if (::lstat(target.c_str(), &st) == 0) {
            return EEXIST;
        }
        if (::rename(path_.c_str(), target.c_str()) != 0) {
            return errno;
        }
        path_.clear();
        return 0;
    }

  private:
    std::string path_;
    UniqueFd fd_;
};

// Writes the bytes to a temporary file in `folder` and gives it the first
// free name of nameOf(1), nameOf(2), ...
WriteResult publishFirstFree(const std::string& folder,
                             const std::function<std::string(int copy)>& nameOf,
                             std::span<const std::uint8_t> bytes) {
    if (folder.empty()) {
        return failure(ENOENT, folder, "no folder to write");
    }
    TempFile temp;
    if (const int error = temp.create(folder); error != 0) {
        return failure(error, folder, "cannot create a file in");
    }
    // A failed write names the file the user would have got; the temporary
    // file goes with temp.
    if (const int error = temp.write(bytes); error != 0) {
        return failure(error, nameOf(1), "cannot write");
    }
    if (const int error = temp.finish(); error != 0) {
        return failure(error, nameOf(1), "cannot write");
    }
    for (int copy = 1; copy <= kMaxCopies; ++copy) {
        std::string target = nameOf(copy);
        const int error = temp.publish(target);
        if (error == 0) {
            return {.path = std::move(target), .systemError = 0, .explanation = "written"};
        }
        if (error != EEXIST) {
            return failure(error, std::move(target), "cannot create");
        }
    }
    return {.fault = ExportFault::NoFreeName,
            .path = nameOf(1),
            .systemError = EEXIST,
            .explanation = std::string(explanation(ExportFault::NoFreeName)) + ": " + nameOf(1)};
}

}  // namespace

WriteResult writeWorkbookFile(const std::string& folder, const std::string& baseName,
                              const TimeOfDay& time, std::span<const std::uint8_t> bytes) {
    if (NameCheck check = checkBaseName(baseName); check.fault != ExportFault::None) {
        return {.fault = check.fault,
                .path = baseName,
                .explanation = std::move(check.explanation) + ": \"" + baseName + "\""};
    }
    const std::string stamp = timeStampText(time);
    return publishFirstFree(
        folder, [&](int copy) { return workbookPath(folder, baseName, stamp, copy); }, bytes);
}

WriteResult writeWorkbookAs(const std::string& path, std::span<const std::uint8_t> bytes) {
    const std::size_t slash = path.rfind('/');
    const std::string folder =
        slash == std::string::npos ? "." : path.substr(0, std::max<std::size_t>(slash, 1));
    const std::size_t dot = path.rfind('.');
    const bool hasExtension =
        dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
    const std::string stem = hasExtension ? path.substr(0, dot) : path;
    const std::string extension = hasExtension ? path.substr(dot) : std::string();
    return publishFirstFree(
        folder,
        [&](int copy) { return copy == 1 ? path : stem + "-" + std::to_string(copy) + extension; },
        bytes);
}

bool isWritableFolder(const std::string& folder) {
    struct stat st {};
    return !folder.empty() && ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
           ::access(folder.c_str(), W_OK | X_OK) == 0;
}

}  // namespace tq::xls
