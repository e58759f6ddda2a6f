#pragma once

#include <cstddef>
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
    EmptyName,           // the base name is empty
    ForbiddenCharacter,  // one of \\ / : * ? " < > |, which Windows and FAT disks refuse
    ControlCharacter,    // a control character in the base name
    LeadingDotOrBlank,   // hidden on Linux; "." and ".." are folders
    TrailingDotOrBlank,  // Windows drops them from a name
    NameTooLong,         // the file name would pass the file system's limit
    FolderMissing,       // the folder does not exist or is not a folder
    NotPermitted,        // no permission to write there, or a read-only file system
    NoSpace,             // disk full, quota exhausted or file size limit reached
    NoFreeName,          // the name and all its numbered variants are taken
    WriteFailed,         // any other input/output error
};

std::string_view explanation(ExportFault fault);

// The longest base name, in UTF-8 bytes: room for "-hhmmss", a copy number
// up to "-999" and ".xls" within the 255 bytes of a file name.
inline constexpr std::size_t kMaxBaseNameBytes = 255 - 7 - 4 - 4;

struct NameCheck {
    ExportFault fault = ExportFault::None;
    // English, naming the character or the limit; empty when the name is
    // fine.
    std::string explanation;
};

// Whether the base name can stand in a file name as it is, on Linux and on
// a Windows or FAT disk the workbook may be copied to.
NameCheck checkBaseName(std::string_view baseName);

// A base name typed with the workbook's extension ("run.xls") without it,
// so the time does not land after the extension.
std::string_view withoutWorkbookExtension(std::string_view typed);

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
