#include "instrument/resource_pattern.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace tq::visa {
namespace {

struct Case {
    std::string_view expr;
    std::string_view name;
    bool matches;
};

// The product's own pattern and the examples of the VISA specification,
// then each rule on its own.
constexpr Case kCases[] = {
    {.expr = "USB[0-9]*::0x3A6D::0x0E31::?*INSTR",
     .name = "USB0::0x3A6D::0x0E31::TW00000001::INSTR",
     .matches = true},
    {.expr = "USB[0-9]*::0x3A6D::0x0E31::?*INSTR",
     .name = "usb12::0x3a6d::0x0e31::tw1::0::instr",
     .matches = true},
    {.expr = "USB[0-9]*::0x3A6D::0x0E31::?*INSTR",
     .name = "USB::0x3A6D::0x0E31::TW1::INSTR",
     .matches = true},
    // IDs written in decimal are another text.
    {.expr = "USB[0-9]*::0x3A6D::0x0E31::?*INSTR",
     .name = "USB0::14957::3633::TW1::INSTR",
     .matches = false},
    {.expr = "USB[0-9]*::0x3A6D::0x0E31::?*INSTR",
     .name = "USB0::0x3A6D::0x0E32::TW1::INSTR",
     .matches = false},
    // "?*" is any run of characters, none included.
    {.expr = "USB[0-9]*::0x3A6D::0x0E31::?*INSTR",
     .name = "USB0::0x3A6D::0x0E31::INSTR",
     .matches = true},
    {.expr = "USB[0-9]*::0x3A6D::0x0E31::?*INSTR",
     .name = "USB0::0x3A6D::0x0E31::TW1::INSTRX",
     .matches = false},
    {.expr = "GPIB?*INSTR", .name = "GPIB0::2::INSTR", .matches = true},
    {.expr = "GPIB?*INSTR", .name = "GPIB-VXI1::8::INSTR", .matches = true},
    {.expr = "GPIB[0-9]*::?*INSTR", .name = "GPIB-VXI1::8::INSTR", .matches = false},
    {.expr = "GPIB[0-9]*::?*INSTR", .name = "GPIB1::8::INSTR", .matches = true},
    {.expr = "ASRL1+::INSTR", .name = "ASRL1::INSTR", .matches = true},
    {.expr = "ASRL1+::INSTR", .name = "ASRL11::INSTR", .matches = true},
    {.expr = "ASRL1+::INSTR", .name = "ASRL::INSTR", .matches = false},
    {.expr = "ASRL1+::INSTR", .name = "ASRL12::INSTR", .matches = false},
    // "." is an ordinary character; "?" is the wildcard.
    {.expr = "a.c", .name = "a.c", .matches = true},
    {.expr = "a.c", .name = "abc", .matches = false},
    {.expr = "a?c", .name = "abc", .matches = true},
    {.expr = "a?c", .name = "ac", .matches = false},
    // Lists, ranges, negation; a "]" first and a "-" at an end are literal.
    {.expr = "[^0-9]x", .name = "ax", .matches = true},
    {.expr = "[^0-9]x", .name = "5x", .matches = false},
    {.expr = "[^a-c]", .name = "B", .matches = false},
    {.expr = "[a-c]", .name = "B", .matches = true},
    {.expr = "[]a]", .name = "]", .matches = true},
    {.expr = "[a-]", .name = "-", .matches = true},
    {.expr = "[\\]]", .name = "]", .matches = true},
    // Groups, alternation with the lowest precedence, repeated groups.
    {.expr = "VXI|GPIB", .name = "GPIB", .matches = true},
    {.expr = "VXI|GPIB", .name = "VXGPIB", .matches = false},
    {.expr = "(GPIB|VXI)?*INSTR", .name = "VXI0::1::INSTR", .matches = true},
    {.expr = "(GPIB|VXI)?*INSTR", .name = "ASRL1::INSTR", .matches = false},
    {.expr = "(ab)+c", .name = "ababc", .matches = true},
    {.expr = "(ab)+c", .name = "abac", .matches = false},
    {.expr = "(ab)*c", .name = "c", .matches = true},
    {.expr = "(a*)*b", .name = "aaab", .matches = true},
    // A repetition of a repetition, and of what can match nothing.
    {.expr = "a+++", .name = "aaaa", .matches = true},
    {.expr = "a+++", .name = "", .matches = false},
    {.expr = "a+*+", .name = "", .matches = true},
    {.expr = "(a*)+*+b", .name = "aab", .matches = true},
    {.expr = "((x*)*|y)+z", .name = "xyxz", .matches = true},
    {.expr = "((x*)*|y)+z", .name = "xyx", .matches = false},
    // Escapes take the next character as it is.
    {.expr = "a\\*b", .name = "a*b", .matches = true},
    {.expr = "a\\*b", .name = "aab", .matches = false},
    {.expr = "\\?", .name = "x", .matches = false},
    {.expr = "\\d", .name = "d", .matches = true},
    {.expr = "[\\d]", .name = "5", .matches = false},
    // The whole name, not a part of it.
    {.expr = "USB", .name = "USB0", .matches = false},
    {.expr = "?*", .name = "", .matches = true},
    {.expr = "?+", .name = "", .matches = false},
    {.expr = "x*", .name = "", .matches = true},
};

TEST(ResourcePattern, MatchesByTheVisaRules) {
    for (const Case& c : kCases) {
        const auto result = matchesResourcePattern(c.expr, c.name);
        ASSERT_TRUE(result.has_value()) << c.expr;
        EXPECT_EQ(*result, c.matches) << c.expr << " against " << c.name;
    }
}

TEST(ResourcePattern, RejectsMalformedExpressions) {
    for (const std::string_view expr : {"", "*abc", "+", "a|", "|a", "(ab", "ab)", "()", "[abc",
                                        "[z-a]", "abc\\", "(|a)", "a(*b)"}) {
        EXPECT_FALSE(ResourcePattern::parse(expr).has_value()) << expr;
    }
}

// Names come from devices (a USB serial number) and the user; a long or
// crafted one must cost bounded work, however the expression reads.
TEST(ResourcePattern, LongHostileNamesCostBoundedWork) {
    const auto meter = ResourcePattern::parse("USB[0-9]*::0x3A6D::0x0E31::?*INSTR");
    ASSERT_TRUE(meter.has_value());
    const std::string head = "USB0::0x3A6D::0x0E31::";
    std::string instrs = head;
    while (instrs.size() + 5 <= ResourcePattern::kMaxNameLength) {
        instrs += "INSTR";
    }
    const std::string longest =
        head + std::string(ResourcePattern::kMaxNameLength - head.size() - 5, ':') + "INSTR";
    EXPECT_EQ(meter->match(longest), true);
    EXPECT_EQ(meter->match(instrs + "X"), false);
    EXPECT_EQ(meter->match("USB" + std::string(ResourcePattern::kMaxNameLength - 3, '0')), false);
    // One character more is not looked at, though it would match.
    EXPECT_EQ(meter->match(":" + longest), std::nullopt);

    // A backtracking matcher takes 2^n steps on each of these.
    EXPECT_EQ(matchesResourcePattern("(a*)*(a*)*b", std::string(200, 'a')), false);
    EXPECT_EQ(matchesResourcePattern("(a*)*(a*)*b", std::string(200, 'a') + "b"), true);
    // Some 2^21 steps: over the budget, so given up rather than decided.
    EXPECT_EQ(matchesResourcePattern("(a|A)*c", std::string(21, 'a') + "bc"), std::nullopt);
    EXPECT_EQ(matchesResourcePattern("(a|A)*c", std::string(12, 'a') + "bc"), false);
}

}  // namespace
}  // namespace tq::visa
