#pragma once

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// Where an export goes and what it is called. Pure: no file system access
// except through the predicates the caller passes in.
namespace tq::xls {

// Why an export was refused or failed. The caller words the message for the
// user; explanation() gives an English sentence for logs and fallbacks.
enum class ExportFault {
    None,
    EmptyName,         // the base name is empty
    DotName,           // "." or ".."
    PathSeparator,     // '/' or '\\' in the base name
    ControlCharacter,  // a control character in the base name
    NameTooLong,       // the file name would pass the file system's limit
    FolderMissing,     // the folder does not exist or is not a folder
    NotPermitted,      // no permission to write there, or a read-only file system
    NoSpace,           // disk full, quota exhausted or file size limit reached
    NoFreeName,        // the name and all its numbered variants are taken
    WriteFailed,       // any other input/output error
};

std::string_view explanation(ExportFault fault);

// ExportFault::None when the base name can stand in a file name as it is.
ExportFault checkBaseName(std::string_view baseName);

struct TimeOfDay {
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// "093015" for 09:30:15.
std::string timeStampText(const TimeOfDay& time);

// folder/base-hhmmss.xls; copy 2, 3, ... gives folder/base-hhmmss-2.xls and
// so on for a name that is already taken.
std::string workbookPath(std::string_view folder, std::string_view baseName, std::string_view stamp,
                         int copy = 1);

// The folder to export into: the one the user chose, if any; otherwise the
// first writable candidate (program folder, documents, home); otherwise the
// last candidate, so that the write reports why it cannot be used. Empty
// when there is nothing to choose from.
std::string chooseExportFolder(const std::optional<std::string>& chosen,
                               std::span<const std::string> candidates,
                               const std::function<bool(const std::string&)>& writable);

}  // namespace tq::xls
