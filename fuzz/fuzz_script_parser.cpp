// Control scripts on arbitrary bytes: the parser never fails to answer, what
// it accepts is well formed, and what it refuses it refuses at a real line
// with everything before that line accepted.
#include <algorithm>
#include <cstdint>
#include <string_view>
#include <variant>

#include "app/script/script_parser.h"
#include "fuzz_check.h"

namespace {

using tq::fuzz::check;
using namespace tq::script;

int lineCount(std::string_view text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n')) +
           (text.empty() || text.back() == '\n' ? 0 : 1);
}

// The text up to the start of 1-based line `line`.
std::string_view linesBefore(std::string_view text, int line) {
    std::size_t at = 0;
    for (int l = 1; l < line; ++l) {
        at = text.find('\n', at) + 1;
    }
    return text.substr(0, at);
}

void checkCommands(const std::vector<Command>& commands, std::string_view text) {
    int previous = 0;
    for (const Command& c : commands) {
        check(c.line > previous && c.line <= lineCount(text), "line out of order", text);
        previous = c.line;
        switch (c.verb) {
            case Verb::Type:
            case Verb::Expect:
            case Verb::Pick:
            case Verb::Click:
                check(!c.control.empty(), "command without a control", text);
                check(c.control.find_first_of(" \t") == std::string::npos, "blank in a name", text);
                check(c.verb != Verb::Pick || !c.text.empty(), "pick without an item", text);
                break;
            case Verb::Wait:
                check(c.ms >= 0 && c.ms <= kMaxWaitMs, "wait out of range", text);
                break;
            case Verb::Screenshot:
            case Verb::Dump:
                check(!c.text.empty(), "file command without a file", text);
                break;
            default:
                break;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const ParseResult parsed = parseScript(text);
    if (const auto* commands = std::get_if<std::vector<Command>>(&parsed)) {
        checkCommands(*commands, text);
        return 0;
    }
    const ParseError& error = std::get<ParseError>(parsed);
    check(error.line >= 1 && error.line <= lineCount(text), "error line out of range", text);
    check(!error.message.empty(), "error without a reason", text);
    check(std::holds_alternative<std::vector<Command>>(parseScript(linesBefore(text, error.line))),
          "lines before the error refused", text);
    return 0;
}
