#include "rules/plot_rule.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace tq {
namespace {

constexpr double kPrev = 1234;

TEST(PlotYRule, VerticalMapping) {
    EXPECT_EQ(PlotYRule(10, 10.0, 0, kPrev), 900);
    EXPECT_EQ(PlotYRule(0, 10.0, 0, kPrev), 5400);
    EXPECT_EQ(PlotYRule(12, 10.0, 0, kPrev), 0);  // 1.2 x full scale: top edge
    EXPECT_EQ(PlotYRule(50, 10.0, 0, kPrev), 0);  // above it: pinned there
    EXPECT_EQ(PlotYRule(-1, 10.0, 0, kPrev), 5850);
    EXPECT_EQ(PlotYRule(5, 10.0, -100, kPrev), 3050);
    EXPECT_EQ(PlotYRule(0.05, 0.1, 0, kPrev), 3150);
}

TEST(PlotYRule, OverloadUnknownFunctionAndZeroScale) {
    EXPECT_EQ(PlotYRule(9.9E+37, 10.0, 0, kPrev), 0);
    EXPECT_EQ(PlotYRule(9.9E+37, 10.0, 0, kPrev, OverloadPlacement::KeepPrevious), kPrev);
    EXPECT_EQ(PlotYRule(3, std::nullopt, 0, kPrev), kPrev);

    ScaleState zero;  // no full scale yet, or autoscaled from a tiny reading
    for (std::string_view f : {"DCV", "ACV", "Frequency", "Period", "2WR", "4WR"}) {
        EXPECT_EQ(PlotYRule(zero, f, 0.5, 0, kPrev), 5400) << f;
    }
    EXPECT_EQ(PlotYRule(1, -5.0, 0, kPrev), 5400);
    EXPECT_EQ(PlotYRule(zero, "NONE", 0.5, 0, kPrev), kPrev);
    ScaleState dcv;
    TransRange(dcv, "DCV", "10V");
    EXPECT_EQ(PlotYRule(dcv, "DCV", 10, 0, kPrev), 900);
}

TEST(PlotYRule, NonFiniteReadingsAreNotStored) {
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_FALSE(PlotYRule(inf, 10.0, 0, kPrev));
    EXPECT_FALSE(PlotYRule(-inf, 10.0, 0, kPrev));
    EXPECT_FALSE(PlotYRule(std::nan(""), std::nullopt, 0, kPrev));
    // An offset past the doubles places a finite reading on the edge it
    // points to: below the plot, or on the top edge.
    EXPECT_EQ(storedTwip(*PlotYRule(1, 10.0, inf, kPrev)), 99999999);
    EXPECT_EQ(PlotYRule(1, 10.0, -inf, kPrev), 0);
}

TEST(StoredTwip, RoundedAndKeptBelowThePlot) {
    // A negative overload lies far beyond the store's twips; it keeps the
    // deepest one instead of being dropped.
    EXPECT_EQ(storedTwip(*PlotYRule(-9.9E+37, 10.0, 0, kPrev)), 99999999);
    EXPECT_EQ(truncatedTwip(1e9), 99999999);
    EXPECT_EQ(storedTwip(99999999.4), 99999999);
    EXPECT_EQ(storedTwip(1234.5), 1234);
    EXPECT_EQ(storedTwip(1235.5), 1236);
    EXPECT_EQ(storedTwip(900.7), 901);
    EXPECT_EQ(truncatedTwip(900.7), 900);
}

TEST(Slots, RowsAndX) {
    EXPECT_EQ(slotX(1, 90), 0);
    EXPECT_EQ(slotX(2, 90), 90);
    EXPECT_EQ(slotX(101, 90), 9000);
    EXPECT_EQ(slotX(1001, 9), 9000);
}

TEST(MathPlot, NoClampButNoDivisionByZero) {
    EXPECT_EQ(mathPlotY(4, 4), 900);
    EXPECT_EQ(mathPlotY(0, 4), 5400);
    EXPECT_EQ(mathPlotY(-4, 4), 9900);
    EXPECT_EQ(mathPlotY(100, 4), 5400 - 112500);
    EXPECT_EQ(mathPlotY(3, 0), 5400);
    EXPECT_EQ(mathTwip(1, 8), 4838);   // 4837.5, halves to even
    EXPECT_EQ(mathTwip(1e300, 1), 0);  // beyond the twips: on the edge
    EXPECT_EQ(mathTwip(-1e300, 1), 5400);
    EXPECT_FALSE(mathTwip(std::nan(""), 1));
}

TEST(Colours, ByColumn) {
    EXPECT_EQ(channelColour(1).green, 60);
    EXPECT_EQ(channelColour(10).blue, 255);
    EXPECT_EQ(channelColour(kMathColumn).red, 255);
    EXPECT_EQ(channelColour(kMathColumn).green, 0);
    EXPECT_THROW(channelColour(12), std::out_of_range);
}

}  // namespace
}  // namespace tq
