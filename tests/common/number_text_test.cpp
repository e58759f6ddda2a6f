#include "common/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace tq {
namespace {

struct ValCase {
    std::string_view text;
    double expected;
};

TEST(Val, ReadsTheLeadingNumber) {
    const ValCase cases[] = {
        {"+1.00000000E+00,", 1},
        {"-2.50000000E-01", -0.25},
        {"  12.5V", 12.5},
        {"1,000", 1},
        {"$12", 0},
        {"0x1A", 0},
        {" 3\n", 3},
        {"\t\n 7", 7},
        {"", 0},
        {"   ", 0},
        {"abc", 0},
        {"+", 0},
        {"-", 0},
        {".", 0},
        {"-.", 0},
        {"&H1F", 0},
        {"1.2.3", 1.2},
        {"1..2", 1},
        {"1e", 1},
        {"1e+", 1},
        {"1E-", 1},
        {"2.5e3x", 2500},
        {".5", 0.5},
        {"-.5", -0.5},
        {"5.", 5},
        {"1.e2", 100},
        {"+ 1", 0},
        {"1 2", 1},
        {"0.1", 0.1},
        {"0000000000000000000000000000001", 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Val(c.text), c.expected) << '"' << c.text << '"';
    }
}

TEST(Val, RoundsCorrectlySoTheOverloadCompareHolds) {
    EXPECT_EQ(Val("+9.90000000E+37"), 9.9E+37);
    EXPECT_EQ(Val("9.9E+37"), 9.9E+37);
    EXPECT_EQ(Val("0.30000000000000004"), 0.1 + 0.2);
}

TEST(Val, HugeAndTinyMagnitudes) {
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(Val("1e400"), inf);
    EXPECT_EQ(Val("-1e400"), -inf);
    EXPECT_EQ(Val("1e99999999999999999999999999"), inf);
    EXPECT_EQ(Val("0.0000000001e310"), 1e300);
    EXPECT_EQ(Val("100000e-5"), 1);
    EXPECT_EQ(Val("1e-400"), 0);
    EXPECT_EQ(Val("1000e-99999999999999999999999999"), 0);
    EXPECT_EQ(Val("0e99999999999999999999"), 0);
    EXPECT_EQ(Val("4e-320"), 4e-320);  // subnormal, still representable
}

TEST(Val, NegativeZeroReadsAsPlainZero) {
    EXPECT_FALSE(std::signbit(Val("-0")));
    EXPECT_FALSE(std::signbit(Val("-1e-400")));
}

TEST(Val, NeverReadsPastTheView) {
    const std::string_view text = std::string_view("12345").substr(0, 2);
    EXPECT_EQ(Val(text), 12);
    const std::string_view exponentCut = std::string_view("1e5").substr(0, 2);
    EXPECT_EQ(Val(exponentCut), 1);
}

struct TextCase {
    double value;
    std::string_view expected;
};

// What Val reads, with only blanks around it; anything more is not one
// number, whatever Val would make of its start.
TEST(HoldsNumber, OneNumberAndNothingMore) {
    for (const char* yes :
         {"+9.90000000E+37", " -1.5E-03     ", "7\r\n", "  .5", "-.5", "3\n   "}) {
        EXPECT_TRUE(holdsNumber(yes)) << yes;
    }
    for (const char* no : {"", "      ", "+", ".", "E+05", "1.5E", "1.5E+", "1.5 V", "--1", "1..5",
                           "1.5E+3x", "\r1", "6B64R/i[agD)/5o"}) {
        EXPECT_FALSE(holdsNumber(no)) << no;
    }
}

TEST(DefaultText, FifteenSignificantDigits) {
    const TextCase cases[] = {
        {0.5, "0.5"},
        {100, "100"},
        {1e14, "100000000000000"},
        {1e15, "1E+15"},
        {1234567890123456.0, "1.23456789012346E+15"},
        {0.0001, "0.0001"},
        {1e-5, "1E-05"},
        {9.9e37, "9.9E+37"},
        {0.1 + 0.2, "0.3"},
        {-0.0, "0"},
        {0, "0"},
        {-2.5, "-2.5"},
        {1e100, "1E+100"},
        {-1e-100, "-1E-100"},
        {std::numeric_limits<double>::infinity(), "INF"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(defaultText(c.value), c.expected) << c.value;
    }
}

TEST(NumberText, CommandLineForm) {
    const TextCase cases[] = {
        {0.1, " .1"},          {-0.5, "-.5"},    {0, " 0"},        {-0.0, " 0"},
        {1000000, " 1000000"}, {1e15, " 1E+15"}, {1e-5, " 1E-05"}, {0.0001, " .0001"},
        {-12.25, "-12.25"},    {2, " 2"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(numberText(c.value), c.expected) << c.value;
        const auto trimmed = trimmedNumberText(c.value);
        EXPECT_EQ(trimmed, c.expected.substr(c.expected[0] == ' ' ? 1 : 0)) << c.value;
    }
}

struct PictureCase {
    double value;
    std::string_view picture;
    std::string_view expected;
};

TEST(FormatPicture, RoundsTheDecimalTextHalfAwayFromZero) {
    const PictureCase cases[] = {
        {2.675, "#0.##", "2.68"},
        {1.005, "#0.##", "1.01"},
        {0.125, "#0.##", "0.13"},
        {-2.675, "#0.##", "-2.68"},
        {10, "#0.##", "10."},
        {0, "#0.##", "0."},
        {99.999, "#0.##", "100."},
        {9.99, "#0.#", "10."},
        {0.5, "#0.##", "0.5"},
        {1, "######0.0#", "1.0"},
        {12.345, "######0.0#", "12.35"},
        {12.3, "######0.0#", "12.3"},
        {3.14159, "##0.0##", "3.142"},
        {2, "##0.0##", "2.0"},
        {0.00025, "#######0.0###", "0.0003"},
        {0.00024, "#######0.0###", "0.0002"},
        {0.00004, "#######0.0###", "0.0"},
        {123456.789, "#####0.##", "123456.79"},
        {1234567, "##0.###", "1234567."},  // never cut by the picture's width
        {-0.001, "#0.##", "-0."},
        {-0.0, "#0.##", "0."},
        {0.004999, "#0.##", "0."},
        {1e-20, "##0.####", "0."},
        {0.5, "#.##", ".5"},
        {7, "00.#", "07."},
        {7.25, "#0", "7"},
        {9.9e37, "#0.##", "99000000000000000000000000000000000000."},
        {1234567890123456789.0, "#0.##", "1234567890123460000."},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(formatPicture(c.value, c.picture), c.expected) << c.value << " " << c.picture;
    }
}

TEST(IntegerConversions, HalvesToEvenAndRange) {
    EXPECT_EQ(toInt32(0.5), 0);
    EXPECT_EQ(toInt32(1.5), 2);
    EXPECT_EQ(toInt32(2.5), 2);
    EXPECT_EQ(toInt32(-2.5), -2);
    EXPECT_EQ(toInt32(-3.5), -4);
    EXPECT_EQ(toInt32(2.4999999), 2);
    EXPECT_EQ(toInt32(5400.6), 5401);
    EXPECT_EQ(toInt32(2147483647.0), 2147483647);
    EXPECT_EQ(toInt32(2147483647.4), 2147483647);
    EXPECT_EQ(toInt32(2147483647.5), std::nullopt);  // rounds to 2^31
    EXPECT_EQ(toInt32(-2147483648.5), -2147483648);  // even neighbour is in range
    EXPECT_EQ(toInt32(-2147483649.0), std::nullopt);
    EXPECT_EQ(toInt32(9.9e37), std::nullopt);
    EXPECT_EQ(toInt32(std::nan("")), std::nullopt);
    EXPECT_EQ(toInt32(std::numeric_limits<double>::infinity()), std::nullopt);

    EXPECT_EQ(toInt16(32767.0), 32767);
    EXPECT_EQ(toInt16(32767.5), std::nullopt);
    EXPECT_EQ(toInt16(-32768.5), -32768);
    EXPECT_EQ(toInt16(-32769.0), std::nullopt);
    EXPECT_EQ(toInt16(40000.0), std::nullopt);
}

TEST(IntegerConversions, IntFloorAndMod) {
    EXPECT_EQ(intFloor(-1.5), -2);
    EXPECT_EQ(intFloor(1.5), 1);
    EXPECT_EQ(intFloor(-2.0), -2);
    EXPECT_EQ(modInt32(7, 3), 1);
    EXPECT_EQ(modInt32(-7, 3), -1);
    EXPECT_EQ(modInt32(7, -3), 1);
    EXPECT_EQ(modInt32(7.5, 2.5), 0);  // 8 Mod 2
    EXPECT_EQ(modInt32(5, 0.4), std::nullopt);
    EXPECT_EQ(modInt32(-2147483648.0, -1), 0);
    EXPECT_EQ(modInt32(1e10, 3), std::nullopt);
}

}  // namespace
}  // namespace tq
