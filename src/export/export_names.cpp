#include "export/export_names.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <optional>

#include "common/number_text.h"

namespace tq::xls {
namespace {

constexpr std::string_view kForbiddenCharacters = "\\/:*?\"<>|";
constexpr std::string_view kWorkbookExtension = ".xls";

// The code point of the control character at s[i], if it is one: C0, DEL,
// or a C1 control U+0080..U+009F in UTF-8.
std::optional<unsigned> controlAt(std::string_view s, std::size_t i) {
    const auto b = static_cast<unsigned char>(s[i]);
    if (b < 0x20 || b == 0x7F) {
        return b;
    }
    if (b == 0xC2 && i + 1 < s.size()) {
        const auto next = static_cast<unsigned char>(s[i + 1]);
        if (next >= 0x80 && next <= 0x9F) {
            return next;
        }
    }
    return std::nullopt;
}

std::string codePointText(unsigned c) {
    std::array<char, 8> text{};
    std::snprintf(text.data(), text.size(), "U+%04X", c);
    return text.data();
}

bool isDotOrBlank(char c) {
    return c == '.' || c == ' ';
}

std::string dotOrBlankName(char c) {
    return c == '.' ? "a dot" : "a blank";
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
        case ExportFault::ForbiddenCharacter:
            return "the file name must not contain \\ / : * ? \" < > |";
        case ExportFault::ControlCharacter:
            return "the file name must not contain control characters";
        case ExportFault::LeadingDotOrBlank:
            return "the file name must not begin with a dot or a blank";
        case ExportFault::TrailingDotOrBlank:
            return "the file name must not end with a dot or a blank";
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

NameCheck checkBaseName(std::string_view baseName) {
    if (baseName.empty()) {
        return {.fault = ExportFault::EmptyName, .explanation = "the file name is empty"};
    }
    for (std::size_t i = 0; i < baseName.size(); ++i) {
        if (kForbiddenCharacters.find(baseName[i]) != std::string_view::npos) {
            return {.fault = ExportFault::ForbiddenCharacter,
                    .explanation = "the file name must not contain '" +
                                   std::string(1, baseName[i]) +
                                   "' (nor any of \\ / : * ? \" < > |)"};
        }
        if (const std::optional<unsigned> c = controlAt(baseName, i)) {
            return {.fault = ExportFault::ControlCharacter,
                    .explanation = "the file name must not contain control characters (" +
                                   codePointText(*c) + ")"};
        }
    }
    if (isDotOrBlank(baseName.front())) {
        return {
            .fault = ExportFault::LeadingDotOrBlank,
            .explanation = "the file name must not begin with " + dotOrBlankName(baseName.front())};
    }
    if (isDotOrBlank(baseName.back())) {
        return {
            .fault = ExportFault::TrailingDotOrBlank,
            .explanation = "the file name must not end with " + dotOrBlankName(baseName.back())};
    }
    if (baseName.size() > kMaxBaseNameBytes) {
        return {.fault = ExportFault::NameTooLong,
                .explanation = "the file name is too long: at most " +
                               std::to_string(kMaxBaseNameBytes) + " bytes, not " +
                               std::to_string(baseName.size())};
    }
    return {};
}

std::string_view withoutWorkbookExtension(std::string_view typed) {
    if (typed.size() < kWorkbookExtension.size()) {
        return typed;
    }
    const std::string_view tail = typed.substr(typed.size() - kWorkbookExtension.size());
    const bool isExtension =
        std::equal(tail.begin(), tail.end(), kWorkbookExtension.begin(),
                   [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
    return isExtension ? typed.substr(0, typed.size() - kWorkbookExtension.size()) : typed;
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
