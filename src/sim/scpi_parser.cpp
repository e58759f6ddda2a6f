#include "sim/scpi_parser.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <optional>
#include <system_error>

#include "sim/scpi_error.h"

namespace tq::sim::scpi {

namespace {

// 488.2 7.6.1.4: a mnemonic is at most 12 characters.
constexpr std::size_t maxMnemonicLength = 12;

bool isBlank(char c) {
    // White space of 488.2 7.4.1.2: any byte 0..32 except the newline that
    // ended the message ("\r" from "\r\n" clients lands here too).
    return static_cast<unsigned char>(c) <= 32;
}

bool isAlpha(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) != 0;
}
bool isDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}
bool isMnemonicChar(char c) {
    return isAlpha(c) || isDigit(c) || c == '_';
}

char upper(char c) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

std::string_view trim(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool equalNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (upper(a[i]) != upper(b[i])) {
            return false;
        }
    }
    return true;
}

// Where a quoted string that opens at text[0] ends (index of the closing
// quote); npos when it never closes. A doubled quote is a quote inside.
std::size_t closingQuote(std::string_view text) {
    const char quote = text[0];
    for (std::size_t i = 1; i < text.size(); ++i) {
        if (text[i] == quote) {
            if (i + 1 < text.size() && text[i + 1] == quote) {
                ++i;
                continue;
            }
            return i;
        }
    }
    return std::string_view::npos;
}

std::variant<std::vector<std::string>, ParseFailure> parseMnemonics(std::string_view header) {
    std::vector<std::string> nodes;
    std::size_t start = 0;
    while (true) {
        const std::size_t colon = header.find(':', start);
        const std::string_view node = header.substr(start, colon - start);
        if (node.empty() || !isAlpha(node.front())) {
            return ParseFailure{error::syntax};
        }
        for (char c : node) {
            if (!isMnemonicChar(c)) {
                return ParseFailure{error::syntax};
            }
        }
        if (node.size() > maxMnemonicLength) {
            return ParseFailure{error::mnemonicTooLong};
        }
        nodes.emplace_back(node);
        if (colon == std::string_view::npos) {
            return nodes;
        }
        start = colon + 1;
    }
}

std::variant<Param, ParseFailure> parseParam(std::string_view text) {
    if (text.empty()) {
        return ParseFailure{error::missingParameter};
    }
    const char first = text.front();
    if (first == '"' || first == '\'') {
        const std::size_t end = closingQuote(text);
        if (end == std::string_view::npos || end + 1 != text.size()) {
            return ParseFailure{error::invalidStringData};
        }
        std::string contents;
        for (std::size_t i = 1; i < end; ++i) {
            contents += text[i];
            if (text[i] == first) {
                ++i;  // the second quote of a doubled pair
            }
        }
        return Param{.kind = ParamKind::String, .number = 0, .text = contents};
    }
    if (isAlpha(first)) {
        for (char c : text) {
            if (!isMnemonicChar(c)) {
                return ParseFailure{error::invalidCharacterData};
            }
        }
        return Param{.kind = ParamKind::Word, .number = 0, .text = std::string(text)};
    }
    if (isDigit(first) || first == '+' || first == '-' || first == '.') {
        const auto number = parseNumber(text);
        if (const auto* failure = std::get_if<ParseFailure>(&number)) {
            return *failure;
        }
        return Param{.kind = ParamKind::Number,
                     .number = std::get<double>(number),
                     .text = std::string(text)};
    }
    return ParseFailure{error::invalidCharacterData};
}

}  // namespace

std::vector<std::string_view> splitUnits(std::string_view message) {
    std::vector<std::string_view> units;
    std::size_t start = 0;
    std::size_t i = 0;
    while (i <= message.size()) {
        if (i == message.size() || message[i] == ';') {
            const std::string_view unit = message.substr(start, i - start);
            if (!trim(unit).empty()) {
                units.push_back(unit);
            }
            start = i + 1;
            ++i;
            continue;
        }
        if (message[i] == '"' || message[i] == '\'') {
            const std::size_t end = closingQuote(message.substr(i));
            if (end == std::string_view::npos) {
                // An open string runs to the end; parseUnit reports it.
                i = message.size();
                continue;
            }
            i += end;
        }
        ++i;
    }
    return units;
}

std::variant<double, ParseFailure> parseNumber(std::string_view text) {
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        ++i;
    }
    std::size_t digits = 0;
    while (i < text.size() && isDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && isDigit(text[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0) {
        return ParseFailure{error::invalidCharacterInNumber};
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            ++j;
        }
        const std::size_t exponentStart = j;
        while (j < text.size() && isDigit(text[j])) {
            ++j;
        }
        if (j > exponentStart) {
            i = j;
        }
    }
    if (i != text.size()) {
        // Letters after a number are a unit suffix the meter does not take.
        return ParseFailure{isAlpha(text[i]) ? error::invalidSuffix
                                             : error::invalidCharacterInNumber};
    }
    // from_chars takes no "+"; a leading "-" it reads itself.
    const std::string_view body = text.front() == '+' ? text.substr(1) : text;
    double value = 0;
    const auto [end, ec] = std::from_chars(body.data(), body.data() + body.size(), value);
    if (ec == std::errc::result_out_of_range) {
        return ParseFailure{error::dataOutOfRange};
    }
    if (ec != std::errc() || end != body.data() + body.size()) {
        return ParseFailure{error::invalidCharacterInNumber};
    }
    return value;
}

bool mnemonicMatches(std::string_view pattern, std::string_view typed) {
    std::string shortForm;
    for (char c : pattern) {
        if (!std::islower(static_cast<unsigned char>(c))) {
            shortForm += c;
        }
    }
    return equalNoCase(typed, shortForm) || equalNoCase(typed, pattern);
}

namespace {

// The header's nodes into result: a common command (*IDN) or a path of
// mnemonics, relative or from the root.
std::optional<ParseFailure> parseHeader(std::string_view header, ProgramUnit& result) {
    if (!header.empty() && header.back() == '?') {
        result.query = true;
        header.remove_suffix(1);
    }
    if (!header.empty() && header.front() == '*') {
        const std::string_view name = header.substr(1);
        if (name.empty() || !std::all_of(name.begin(), name.end(), isAlpha)) {
            return ParseFailure{error::syntax};
        }
        result.common = true;
        result.nodes.emplace_back(header);
        return std::nullopt;
    }
    if (!header.empty() && header.front() == ':') {
        result.absolute = true;
        header.remove_prefix(1);
    }
    auto nodes = parseMnemonics(header);
    if (const auto* failure = std::get_if<ParseFailure>(&nodes)) {
        return *failure;
    }
    result.nodes = std::move(std::get<std::vector<std::string>>(nodes));
    return std::nullopt;
}

// The comma-separated parameters into result; a comma inside quotes is text.
std::optional<ParseFailure> parseParams(std::string_view rest, ProgramUnit& result) {
    std::size_t start = 0;
    std::size_t i = 0;
    while (true) {
        if (i < rest.size() && (rest[i] == '"' || rest[i] == '\'')) {
            const std::size_t end = closingQuote(rest.substr(i));
            if (end == std::string_view::npos) {
                return ParseFailure{error::invalidStringData};
            }
            i += end + 1;
            continue;
        }
        if (i == rest.size() || rest[i] == ',') {
            auto param = parseParam(trim(rest.substr(start, i - start)));
            if (const auto* failure = std::get_if<ParseFailure>(&param)) {
                return *failure;
            }
            result.params.push_back(std::move(std::get<Param>(param)));
            if (i == rest.size()) {
                return std::nullopt;
            }
            start = i + 1;
        }
        ++i;
    }
}

}  // namespace

ParseResult parseUnit(std::string_view unit) {
    unit = trim(unit);
    std::size_t headerEnd = 0;
    while (headerEnd < unit.size() && !isBlank(unit[headerEnd])) {
        ++headerEnd;
    }
    const std::string_view rest = trim(unit.substr(headerEnd));
    ProgramUnit result;
    if (auto failure = parseHeader(unit.substr(0, headerEnd), result)) {
        return *failure;
    }
    if (!rest.empty()) {
        if (auto failure = parseParams(rest, result)) {
            return *failure;
        }
    }
    return result;
}

}  // namespace tq::sim::scpi
