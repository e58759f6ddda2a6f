// Inputs the resource-pattern fuzzer found, kept as fixed cases.
#include <gtest/gtest.h>

#include <string>

#include "instrument/resource_pattern.h"

namespace tq::visa {
namespace {

// Each quantifier on a quantifier once doubled the matching work, so an
// expression of 30 characters took minutes. A time-out of the test run is
// the failure here.
TEST(ResourcePatternFuzz, StackedRepetitionsDoNotMultiplyTheWork) {
    const std::string stacked = "a" + std::string(64, '+');
    EXPECT_EQ(matchesResourcePattern(stacked, "aaaa"), true);
    EXPECT_EQ(matchesResourcePattern(stacked, ""), false);
    EXPECT_EQ(matchesResourcePattern(stacked, "aab"), false);

    std::string nested = "a";
    for (int i = 0; i < 40; ++i) {
        nested = "(" + nested + "b*)*";
    }
    EXPECT_EQ(matchesResourcePattern(nested, ""), true);
    EXPECT_EQ(matchesResourcePattern(nested, "abbaab" + std::string(50, 'a')), true);
    EXPECT_EQ(matchesResourcePattern(nested, std::string(50, 'a') + "c"), false);
}

// Repetitions of what can match nothing end, and still match.
TEST(ResourcePatternFuzz, RepeatingAnEmptyMatchEnds) {
    EXPECT_EQ(matchesResourcePattern("(a*)+", ""), true);
    EXPECT_EQ(matchesResourcePattern("(a*)+*+b", "aab"), true);
    EXPECT_EQ(matchesResourcePattern("((x*)*|y)+z", "xyxz"), true);
    EXPECT_EQ(matchesResourcePattern("((x*)*|y)+z", "xyx"), false);
}

}  // namespace
}  // namespace tq::visa
