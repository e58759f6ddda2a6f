#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// Control scripts: one command a line, driving the window as a user would.
// This part only reads the text; it knows nothing of windows or time, so it
// can be fed any bytes.
namespace tq::script {

enum class Verb { Type, Keys, Pick, Click, WaitRun, Wait, Expect, Answer, Screenshot, Dump, Exit };

// The answer given to the next message box.
enum class Reply { Yes, No, Ok };

// The longest single wait a script may ask for: one day.
inline constexpr std::int64_t kMaxWaitMs = 86'400'000;

struct Command {
    int line = 0;  // 1-based, in the script's text
    Verb verb = Verb::Exit;
    std::string control;  // type, keys, pick, click, expect: the control's name
    // type, keys, expect: the text (may be empty); pick: the list item;
    // screenshot, dump: the file.
    std::string text;
    std::int64_t ms = 0;      // wait
    Reply reply = Reply::Ok;  // answer
};

struct ParseError {
    int line = 0;
    std::string message;
};

using ParseResult = std::variant<std::vector<Command>, ParseError>;

// The whole script, or the first line that cannot be understood. Lines end
// with "\n" or "\r\n"; blank lines and lines whose first non-blank
// character is "#" are comments.
ParseResult parseScript(std::string_view text);

// The command word as written in scripts ("wait-run").
std::string_view verbWord(Verb verb);
std::string_view replyWord(Reply reply);

}  // namespace tq::script
