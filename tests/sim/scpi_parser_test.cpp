#include <gtest/gtest.h>

#include "sim/scpi_error.h"
#include "sim/scpi_header.h"
#include "sim/scpi_parser.h"

namespace tq::sim::scpi {
namespace {

int failureOf(const ParseResult& result) {
    const auto* failure = std::get_if<ParseFailure>(&result);
    return failure == nullptr ? 0 : failure->code;
}

TEST(ScpiParser, SplitsHeaderQueryAndParameters) {
    const auto result = parseUnit("  rout:scan:func 3,\"VOLT:AC\"\r");
    ASSERT_EQ(failureOf(result), 0);
    const auto& unit = std::get<ProgramUnit>(result);
    EXPECT_EQ(unit.nodes, (std::vector<std::string>{"rout", "scan", "func"}));
    EXPECT_FALSE(unit.query);
    ASSERT_EQ(unit.params.size(), 2u);
    EXPECT_EQ(unit.params[0].kind, ParamKind::Number);
    EXPECT_EQ(unit.params[0].number, 3);
    EXPECT_EQ(unit.params[1].kind, ParamKind::String);
    EXPECT_EQ(unit.params[1].text, "VOLT:AC");

    const auto query = std::get<ProgramUnit>(parseUnit(":Rout:scan:state?"));
    EXPECT_TRUE(query.query);
    EXPECT_TRUE(query.absolute);
    EXPECT_TRUE(query.params.empty());

    const auto common = std::get<ProgramUnit>(parseUnit("*idn?"));
    EXPECT_TRUE(common.common);
    EXPECT_TRUE(common.query);

    // Two blanks before the value, as the resistance lines carry them.
    const auto twoBlanks = std::get<ProgramUnit>(parseUnit("SENS:RES:RANG  1000"));
    ASSERT_EQ(twoBlanks.params.size(), 1u);
    EXPECT_EQ(twoBlanks.params[0].number, 1000);

    const auto quoted = std::get<ProgramUnit>(parseUnit("X 'it''s', \"a\"\"b\" , DEF"));
    EXPECT_EQ(quoted.params[0].text, "it's");
    EXPECT_EQ(quoted.params[1].text, "a\"b");
    EXPECT_EQ(quoted.params[2].kind, ParamKind::Word);
}

TEST(ScpiParser, ReportsSyntaxErrors) {
    EXPECT_EQ(failureOf(parseUnit("ROUT::SCAN")), error::syntax);
    EXPECT_EQ(failureOf(parseUnit("ROUT:")), error::syntax);
    EXPECT_EQ(failureOf(parseUnit("TRIG:DEL0.1")), error::syntax);
    EXPECT_EQ(failureOf(parseUnit("ABCDEFGHIJKLM")), error::mnemonicTooLong);
    EXPECT_EQ(failureOf(parseUnit("X 1,")), error::missingParameter);
    EXPECT_EQ(failureOf(parseUnit("X \"open")), error::invalidStringData);
    EXPECT_EQ(failureOf(parseUnit("X 1.2.3")), error::invalidCharacterInNumber);
    EXPECT_EQ(failureOf(parseUnit("X 10V")), error::invalidSuffix);
    EXPECT_EQ(failureOf(parseUnit("X #1")), error::invalidCharacterData);
}

TEST(ScpiParser, ReadsDecimalNumbers) {
    struct Row {
        std::string_view text;
        double value;
    };
    for (const Row& row : {Row{".1", 0.1}, Row{"1E+3", 1000}, Row{"+2.5e-1", 0.25}, Row{"-7", -7},
                           Row{"5.", 5}, Row{"0.001", 0.001}}) {
        const auto number = parseNumber(row.text);
        ASSERT_TRUE(std::holds_alternative<double>(number)) << row.text;
        EXPECT_EQ(std::get<double>(number), row.value) << row.text;
    }
    for (std::string_view bad : {"", "+", ".", "1e", "1x", "--1"}) {
        EXPECT_TRUE(std::holds_alternative<ParseFailure>(parseNumber(bad))) << bad;
    }
    EXPECT_EQ(std::get<ParseFailure>(parseNumber("1e999")).code, error::dataOutOfRange);
}

TEST(ScpiParser, SplitsUnitsOutsideQuotes) {
    const auto units = splitUnits("A 1;B \"x;y\";; C?");
    ASSERT_EQ(units.size(), 3u);
    EXPECT_EQ(units[1], "B \"x;y\"");
}

TEST(ScpiHeader, MatchesShortAndLongFormsInAnyCase) {
    const std::string_view pattern = "[SENSe:]VOLTage[:DC]:RANGe[:UPPer]";
    for (const auto& nodes :
         std::vector<std::vector<std::string>>{{"SENS", "VOLT", "DC", "RANG"},
                                               {"sense", "voltage", "dc", "range", "upper"},
                                               {"volt", "rang"},
                                               {"Volt", "Dc", "Range"}}) {
        EXPECT_TRUE(headerMatches(pattern, nodes)) << nodes[0];
    }
    for (const auto& nodes :
         std::vector<std::vector<std::string>>{{"SEN", "VOLT", "RANG"},  // neither form
                                               {"VOLTA", "RANG"},        // between short and long
                                               {"VOLT", "AC", "RANG"},   // a different node
                                               {"VOLT", "DC", "RANG", "X"}}) {  // trailing node
        EXPECT_FALSE(headerMatches(pattern, nodes)) << nodes[0] << " " << nodes[1];
    }
    EXPECT_TRUE(headerMatches("*IDN", {"*idn"}));
    EXPECT_FALSE(headerMatches("*IDN", {"*ID"}));
    EXPECT_TRUE(mnemonicMatches("TIMEr", "TIMER"));
    EXPECT_TRUE(mnemonicMatches("TIMEr", "time"));
}

TEST(ScpiErrorQueue, KeepsOrderAndMarksOverflow) {
    ErrorQueue queue;
    EXPECT_EQ(queue.pop(), 0);
    for (std::size_t i = 0; i < ErrorQueue::capacity + 5; ++i) {
        queue.push(error::undefinedHeader);
    }
    EXPECT_EQ(queue.size(), ErrorQueue::capacity);
    for (std::size_t i = 0; i + 1 < ErrorQueue::capacity; ++i) {
        EXPECT_EQ(queue.pop(), error::undefinedHeader);
    }
    EXPECT_EQ(queue.pop(), error::queueOverflow);
    EXPECT_EQ(errorReply(0), "+0,\"No error\"");
    EXPECT_EQ(errorReply(error::undefinedHeader), "-113,\"Undefined header\"");
}

}  // namespace
}  // namespace tq::sim::scpi
