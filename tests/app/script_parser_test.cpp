#include "app/script/script_parser.h"

#include <gtest/gtest.h>

#include <string>

namespace tq::script {
namespace {

struct Good {
    const char* line = "";
    Verb verb = Verb::Exit;
    const char* control = "";
    const char* text = "";
    std::int64_t ms = 0;
    Reply reply = Reply::Ok;
};

TEST(ScriptParser, ReadsEveryCommandWithItsArgument) {
    const Good rows[] = {
        {.line = "type TxtSleep 0.5", .verb = Verb::Type, .control = "TxtSleep", .text = "0.5"},
        // Everything after the name is the text, blanks included.
        {.line = "type TxtFileName  my run ",
         .verb = Verb::Type,
         .control = "TxtFileName",
         .text = " my run "},
        {.line = "type TxtFileName", .verb = Verb::Type, .control = "TxtFileName", .text = ""},
        {.line = "type TxtFileName ", .verb = Verb::Type, .control = "TxtFileName", .text = ""},
        {.line = "keys TxtChNo 12", .verb = Verb::Keys, .control = "TxtChNo", .text = "12"},
        {.line = "pick Cbo2 減", .verb = Verb::Pick, .control = "Cbo2", .text = "減"},
        {.line = "pick CboFunc(2) Frequency",
         .verb = Verb::Pick,
         .control = "CboFunc(2)",
         .text = "Frequency"},
        {.line = "click ChkTest(1)", .verb = Verb::Click, .control = "ChkTest(1)"},
        {.line = "click Command1  ", .verb = Verb::Click, .control = "Command1"},
        {.line = "wait-run", .verb = Verb::WaitRun},
        {.line = "wait 3000", .verb = Verb::Wait, .ms = 3000},
        {.line = "wait 0", .verb = Verb::Wait, .ms = 0},
        {.line = "wait 86400000", .verb = Verb::Wait, .ms = kMaxWaitMs},
        {.line = "expect LabMsg 系統設定中...",
         .verb = Verb::Expect,
         .control = "LabMsg",
         .text = "系統設定中..."},
        {.line = "expect TxtDshow(0) ", .verb = Verb::Expect, .control = "TxtDshow(0)", .text = ""},
        {.line = "answer yes", .verb = Verb::Answer, .reply = Reply::Yes},
        {.line = "answer no", .verb = Verb::Answer, .reply = Reply::No},
        {.line = "answer ok", .verb = Verb::Answer, .reply = Reply::Ok},
        {.line = "screenshot out/run 1.png", .verb = Verb::Screenshot, .text = "out/run 1.png"},
        {.line = "screenshot a.b/RUN.JPG", .verb = Verb::Screenshot, .text = "a.b/RUN.JPG"},
        {.line = "dump c.json", .verb = Verb::Dump, .text = "c.json"},
        {.line = "exit", .verb = Verb::Exit},
        {.line = "  exit\r", .verb = Verb::Exit},
    };
    for (const Good& row : rows) {
        SCOPED_TRACE(row.line);
        const ParseResult parsed = parseScript(std::string("# set-up\n\n") + row.line + "\n");
        ASSERT_TRUE(std::holds_alternative<std::vector<Command>>(parsed))
            << std::get<ParseError>(parsed).message;
        const auto& commands = std::get<std::vector<Command>>(parsed);
        ASSERT_EQ(commands.size(), 1U);
        const Command& c = commands[0];
        EXPECT_EQ(c.line, 3);
        EXPECT_EQ(c.verb, row.verb);
        EXPECT_EQ(c.control, row.control);
        EXPECT_EQ(c.text, row.text);
        EXPECT_EQ(c.ms, row.ms);
        EXPECT_EQ(c.reply, row.reply);
    }
}

TEST(ScriptParser, NamesTheFirstLineItCannotRead) {
    const struct {
        const char* line;
        const char* message;
    } rows[] = {
        {"clik Command1", "unknown command 'clik'"},
        {"Click Command1", "unknown command 'Click'"},
        {"type", "type needs a control name"},
        {"type  TxtSleep 1", "type needs a control name"},
        {"pick CboFunc(0)", "pick needs a list item after the control name"},
        {"pick CboFunc(0) ", "pick needs a list item after the control name"},
        {"click", "click needs a control name"},
        {"click Command1 twice", "click takes one control name, not 'Command1 twice'"},
        {"wait", "wait needs whole milliseconds from 0 to 86400000"},
        {"wait 1.5", "wait needs whole milliseconds from 0 to 86400000, not '1.5'"},
        {"wait -3", "wait needs whole milliseconds from 0 to 86400000, not '-3'"},
        {"wait 86400001", "wait needs whole milliseconds from 0 to 86400000, not '86400001'"},
        {"wait 99999999999999999999999",
         "wait needs whole milliseconds from 0 to 86400000, not "
         "'99999999999999999999999'"},
        {"wait-run now", "wait-run takes no argument, not 'now'"},
        {"answer", "answer takes yes, no or ok"},
        {"answer Yes", "answer takes yes, no or ok, not 'Yes'"},
        {"screenshot", "screenshot needs a file name"},
        {"screenshot run.gif",
         "screenshot writes a file ending in .png, .jpg or .bmp, not 'run.gif'"},
        {"screenshot png", "screenshot writes a file ending in .png, .jpg or .bmp, not 'png'"},
        {"dump   ", "dump needs a file name"},
        {"exit 0", "exit takes no argument, not '0'"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.line);
        const ParseResult parsed =
            parseScript(std::string("click Command1\r\n  # note\r\n") + row.line + "\r\nexit\r\n");
        ASSERT_TRUE(std::holds_alternative<ParseError>(parsed));
        EXPECT_EQ(std::get<ParseError>(parsed).line, 3);
        EXPECT_EQ(std::get<ParseError>(parsed).message, row.message);
    }
}

TEST(ScriptParser, KeepsOrderAndLineNumbersOfAWholeScript) {
    const ParseResult parsed =
        parseScript("# demo\nclick Command1\nwait 3000\n\n   \t\nclick ChkTest(1)\nwait-run\nexit");
    ASSERT_TRUE(std::holds_alternative<std::vector<Command>>(parsed));
    const auto& commands = std::get<std::vector<Command>>(parsed);
    ASSERT_EQ(commands.size(), 5U);
    const int lines[] = {2, 3, 6, 7, 8};
    const Verb verbs[] = {Verb::Click, Verb::Wait, Verb::Click, Verb::WaitRun, Verb::Exit};
    for (std::size_t i = 0; i < commands.size(); ++i) {
        EXPECT_EQ(commands[i].line, lines[i]);
        EXPECT_EQ(commands[i].verb, verbs[i]);
        EXPECT_EQ(verbWord(verbs[i]).empty(), false);
    }
    EXPECT_TRUE(std::get<std::vector<Command>>(parseScript("")).empty());
}

}  // namespace
}  // namespace tq::script
