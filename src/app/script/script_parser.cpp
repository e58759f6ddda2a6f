#include "app/script/script_parser.h"

#include "app/picture_format.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <optional>

namespace tq::script {
namespace {

// What follows a command word.
enum class Shape {
    None,      // nothing
    Name,      // one control name
    NameText,  // a control name, then any text (blanks included, may be empty)
    NameItem,  // a control name, then a list item (not empty)
    File,      // a file name (blanks included)
    Picture,   // a file name whose extension names a picture format
    Ms,        // milliseconds
    Reply,     // yes, no or ok
};

struct VerbInfo {
    std::string_view word;
    Verb verb;
    Shape shape;
};

constexpr std::array kVerbs{
    VerbInfo{.word = "type", .verb = Verb::Type, .shape = Shape::NameText},
    VerbInfo{.word = "keys", .verb = Verb::Keys, .shape = Shape::NameText},
    VerbInfo{.word = "pick", .verb = Verb::Pick, .shape = Shape::NameItem},
    VerbInfo{.word = "click", .verb = Verb::Click, .shape = Shape::Name},
    VerbInfo{.word = "wait-run", .verb = Verb::WaitRun, .shape = Shape::None},
    VerbInfo{.word = "wait", .verb = Verb::Wait, .shape = Shape::Ms},
    VerbInfo{.word = "expect", .verb = Verb::Expect, .shape = Shape::NameText},
    VerbInfo{.word = "answer", .verb = Verb::Answer, .shape = Shape::Reply},
    VerbInfo{.word = "screenshot", .verb = Verb::Screenshot, .shape = Shape::Picture},
    VerbInfo{.word = "dump", .verb = Verb::Dump, .shape = Shape::File},
    VerbInfo{.word = "exit", .verb = Verb::Exit, .shape = Shape::None},
};

struct ReplyInfo {
    std::string_view word;
    Reply reply;
};

constexpr std::array kReplies{
    ReplyInfo{.word = "yes", .reply = Reply::Yes},
    ReplyInfo{.word = "no", .reply = Reply::No},
    ReplyInfo{.word = "ok", .reply = Reply::Ok},
};

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

bool allBlank(std::string_view s) {
    return std::all_of(s.begin(), s.end(), isBlank);
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && isBlank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

// The first word of s and what follows the one blank after it.
struct Split {
    std::string_view word;
    std::optional<std::string_view> rest;  // none when the word ends the line
};

Split splitWord(std::string_view s) {
    const auto end = std::find_if(s.begin(), s.end(), isBlank);
    const auto length = static_cast<std::size_t>(end - s.begin());
    if (end == s.end()) {
        return {.word = s, .rest = std::nullopt};
    }
    return {.word = s.substr(0, length), .rest = s.substr(length + 1)};
}

const VerbInfo* findVerb(std::string_view word) {
    const auto* it = std::find_if(kVerbs.begin(), kVerbs.end(),
                                  [word](const VerbInfo& v) { return v.word == word; });
    return it == kVerbs.end() ? nullptr : &*it;
}

std::string quoted(std::string_view s) {
    return "'" + std::string(s) + "'";
}

// Each readX fills command from the argument of its line, or gives the error text.
using ArgumentError = std::optional<std::string>;

ArgumentError readNames(const VerbInfo& verb, std::string_view argument, Command& command) {
    const std::string word(verb.word);
    const Split split = splitWord(argument);
    if (split.word.empty()) {
        return word + " needs a control name";
    }
    if (verb.shape == Shape::Name) {
        if (split.rest && !allBlank(*split.rest)) {
            return word + " takes one control name, not " + quoted(trimmed(argument));
        }
        command.control = split.word;
        return std::nullopt;
    }
    command.control = split.word;
    command.text = split.rest.value_or(std::string_view());
    if (verb.shape == Shape::NameItem && command.text.empty()) {
        return word + " needs a list item after the control name";
    }
    return std::nullopt;
}

ArgumentError readFile(const VerbInfo& verb, std::string_view argument, Command& command) {
    const std::string word(verb.word);
    if (allBlank(argument)) {
        return word + " needs a file name";
    }
    if (verb.shape == Shape::Picture && !pictureFormat(argument)) {
        return word + " writes a file ending in " + std::string(kPictureFormats) + ", not " +
               quoted(argument);
    }
    command.text = argument;
    return std::nullopt;
}

ArgumentError readMs(const VerbInfo& verb, std::string_view argument, Command& command) {
    const std::string_view digits = trimmed(argument);
    std::int64_t ms = -1;
    const bool onlyDigits =
        !digits.empty() &&
        std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (onlyDigits) {
        const auto [end, ec] = std::from_chars(digits.begin(), digits.end(), ms);
        if (ec != std::errc() || end != digits.end()) {
            ms = -1;
        }
    }
    if (ms < 0 || ms > kMaxWaitMs) {
        return std::string(verb.word) + " needs whole milliseconds from 0 to " +
               std::to_string(kMaxWaitMs) +
               (digits.empty() ? std::string() : ", not " + quoted(digits));
    }
    command.ms = ms;
    return std::nullopt;
}

ArgumentError readReply(const VerbInfo& verb, std::string_view argument, Command& command) {
    const std::string_view given = trimmed(argument);
    const auto* it = std::find_if(kReplies.begin(), kReplies.end(),
                                  [given](const ReplyInfo& r) { return r.word == given; });
    if (it == kReplies.end()) {
        return std::string(verb.word) + " takes yes, no or ok" +
               (given.empty() ? std::string() : ", not " + quoted(given));
    }
    command.reply = it->reply;
    return std::nullopt;
}

ArgumentError readArgument(const VerbInfo& verb, std::string_view argument, Command& command) {
    switch (verb.shape) {
        case Shape::None:
            if (!allBlank(argument)) {
                return std::string(verb.word) + " takes no argument, not " +
                       quoted(trimmed(argument));
            }
            return std::nullopt;
        case Shape::Name:
        case Shape::NameText:
        case Shape::NameItem:
            return readNames(verb, argument, command);
        case Shape::File:
        case Shape::Picture:
            return readFile(verb, argument, command);
        case Shape::Ms:
            return readMs(verb, argument, command);
        case Shape::Reply:
            return readReply(verb, argument, command);
    }
    return std::nullopt;
}

}  // namespace

std::string_view verbWord(Verb verb) {
    const auto* it = std::find_if(kVerbs.begin(), kVerbs.end(),
                                  [verb](const VerbInfo& v) { return v.verb == verb; });
    return it == kVerbs.end() ? std::string_view() : it->word;
}

std::string_view replyWord(Reply reply) {
    const auto* it = std::find_if(kReplies.begin(), kReplies.end(),
                                  [reply](const ReplyInfo& r) { return r.reply == reply; });
    return it == kReplies.end() ? std::string_view() : it->word;
}

ParseResult parseScript(std::string_view text) {
    std::vector<Command> commands;
    int lineNumber = 0;
    while (!text.empty()) {
        const std::size_t newline = text.find('\n');
        std::string_view line = text.substr(0, newline);
        text.remove_prefix(newline == std::string_view::npos ? text.size() : newline + 1);
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        // Indentation is allowed; the blanks inside an argument are kept.
        const auto start = std::find_if_not(line.begin(), line.end(), isBlank);
        line.remove_prefix(static_cast<std::size_t>(start - line.begin()));
        if (line.empty() || line.front() == '#') {
            continue;
        }
        const Split split = splitWord(line);
        const VerbInfo* verb = findVerb(split.word);
        if (verb == nullptr) {
            return ParseError{.line = lineNumber,
                              .message = "unknown command " + quoted(split.word)};
        }
        Command command;
        command.line = lineNumber;
        command.verb = verb->verb;
        if (auto error = readArgument(*verb, split.rest.value_or(std::string_view()), command)) {
            return ParseError{.line = lineNumber, .message = std::move(*error)};
        }
        commands.push_back(std::move(command));
    }
    return commands;
}

}  // namespace tq::script
