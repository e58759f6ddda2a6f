#include "export/export_names.h"

#include "common/number_text.h"

namespace tq::xls {
namespace {

// Room for "-hhmmss", a copy number up to "-999" and ".xls" within the 255
// bytes a Linux file name may have.
constexpr std::size_t kMaxBaseNameBytes = 255 - 7 - 4 - 4;

bool isControl(std::string_view s, std::size_t i) {
    const auto b = static_cast<unsigned char>(s[i]);
    if (b < 0x20 || b == 0x7F) {
        return true;
    }
    // C1 controls U+0080..U+009F in UTF-8
    return b == 0xC2 && i + 1 < s.size() && static_cast<unsigned char>(s[i + 1]) >= 0x80 &&
           static_cast<unsigned char>(s[i + 1]) <= 0x9F;
}

void appendTwoDigits(std::string& out, int v) {
    v = ((v % 100) + 100) % 100;
    out.push_back(static_cast<char>('0' + v / 10));
    out.push_back(static_cast<char>('0' + v % 10));
}

}  // namespace

std::string_view explanation(ExportFault fault) {
    switch (fault) {
        case ExportFault::None:
            return "no fault";
        case ExportFault::EmptyName:
            return "the file name is empty";
        case ExportFault::DotName:
            return "\".\" and \"..\" cannot be used as a file name";
        case ExportFault::PathSeparator:
            return "the file name must not contain '/' or '\\'";
        case ExportFault::ControlCharacter:
            return "the file name must not contain control characters";
        case ExportFault::NameTooLong:
            return "the file name is too long";
        case ExportFault::FolderMissing:
            return "the folder does not exist";
        case ExportFault::NotPermitted:
            return "no permission to write in the folder";
        case ExportFault::NoSpace:
            return "not enough space for the file";
        case ExportFault::NoFreeName:
            return "every variant of the file name is already taken";
        case ExportFault::WriteFailed:
            return "the file could not be written";
    }
    return "unknown fault";
}

ExportFault checkBaseName(std::string_view baseName) {
    if (baseName.empty()) {
        return ExportFault::EmptyName;
    }
    if (baseName == "." || baseName == "..") {
        return ExportFault::DotName;
    }
    for (std::size_t i = 0; i < baseName.size(); ++i) {
        if (baseName[i] == '/' || baseName[i] == '\\') {
            return ExportFault::PathSeparator;
        }
        if (isControl(baseName, i)) {
            return ExportFault::ControlCharacter;
        }
    }
    if (baseName.size() > kMaxBaseNameBytes) {
        return ExportFault::NameTooLong;
    }
    return ExportFault::None;
}

std::string timeStampText(const TimeOfDay& time) {
    std::string text;
    appendTwoDigits(text, time.hour);
    appendTwoDigits(text, time.minute);
    appendTwoDigits(text, time.second);
    return text;
}

std::string workbookPath(std::string_view folder, std::string_view baseName, std::string_view stamp,
                         int copy) {
    std::string path(folder);
    if (path.empty() || path.back() != '/') {
        path += '/';
    }
    path.append(baseName).append("-").append(stamp);
    if (copy > 1) {
        path.append("-").append(trimmedNumberText(copy));
    }
    return path.append(".xls");
}

std::string chooseExportFolder(const std::optional<std::string>& chosen,
                               std::span<const std::string> candidates,
                               const std::function<bool(const std::string&)>& writable) {
    if (chosen) {
        return *chosen;
    }
    for (const std::string& folder : candidates) {
        if (writable(folder)) {
            return folder;
        }
    }
    return candidates.empty() ? std::string() : candidates.back();
}

}  // namespace tq::xls
