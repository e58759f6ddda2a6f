#include "rules/math_channel.h"

#include <gtest/gtest.h>

#include <array>

namespace tq {
namespace {

TEST(MathChannel, FormulaInWindowOrder) {
    MathSetup setup;
    ReadMathSetup(setup, "CH3", "CH1", "減");
    std::array<double, 12> reading{};
    reading[1] = 2;
    reading[3] = 5;
    EXPECT_EQ(mathValue(setup, reading, 2, 1), 7);  // (CH3 - CH1) x 2 + 1
    EXPECT_EQ(mathValue(1, 5, 2, 2, 1), 15);
    EXPECT_EQ(mathValue(3, 5, 2, 0.5, -1), 4);
    EXPECT_EQ(mathValue(4, 5, 2, 1, 0), 2.5);
    EXPECT_FALSE(mathValue(5, 5, 2, 1, 0));
}

TEST(MathChannel, NothingToStore) {
    EXPECT_FALSE(mathValue(1, 9.9E+37, 1, 1, 0));
    EXPECT_FALSE(mathValue(2, 1, 9.9E+37, 1, 0));
    EXPECT_FALSE(mathValue(4, 1, 0, 1, 0));
    EXPECT_FALSE(mathValue(4, 0, 0, 1, 0));
    EXPECT_FALSE(mathValue(3, 1e200, 1e200, 1, 0));
    EXPECT_FALSE(mathValue(1, 1, 1, 1e308, 0));
    EXPECT_EQ(mathValue(4, 0, 5, 1, 0), 0);
}

TEST(MathChannel, SetupKeepsEarlierChoices) {
    MathSetup setup;
    ReadMathSetup(setup, "CH2", "CH10", "");
    EXPECT_FALSE(setup.complete());
    EXPECT_FALSE(mathValue(setup, std::array<double, 12>{}, 1, 0));
    ReadMathSetup(setup, "", "CH11", "除");
    EXPECT_EQ(setup.MathChannelA, 2);
    EXPECT_EQ(setup.MathChannelB, 10);
    EXPECT_EQ(setup.MathOperator, 4);
    ReadMathSetup(setup, "ch1", "CH0", "x");
    EXPECT_EQ(setup.MathChannelA, 2);
    EXPECT_EQ(setup.MathChannelB, 10);
    EXPECT_EQ(setup.MathOperator, 4);
    EXPECT_EQ(mathOperator("加"), 1);
    EXPECT_EQ(mathOperator("乘"), 3);
}

TEST(MathChannel, ResultText) {
    EXPECT_EQ(mathText(7), "7.0");
    EXPECT_EQ(mathText(1.23456), "1.2346");
    EXPECT_EQ(mathText(0.00025), "0.0003");
    EXPECT_EQ(mathText(-12.5), "-12.5");
}

}  // namespace
}  // namespace tq
