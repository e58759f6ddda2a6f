#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "engine/fetch_reply.h"

namespace tq {
namespace {

using Readings = std::vector<std::optional<double>>;

TEST(FetchReply, FieldsByPositionUpToTheChannelCountAndOnlyWhole) {
    const std::string reply = "+1.00000000E+00,+2.50000000E-01,+9.90000000E+37\n";
    EXPECT_EQ(fieldReadings(fetchLine(reply, 3), 10), (Readings{1.0, 0.25, 9.9E+37}));
    EXPECT_EQ(fieldReadings(fetchLine(reply, 2), 10), (Readings{1.0, 0.25}));
    EXPECT_EQ(fieldReadings(reply, 2).size(), 2u);
    EXPECT_EQ(fetchLine(reply, -3), "");
    EXPECT_EQ(fetchLine(reply, 1e30), reply);
    // A reply cut inside a field; 15 characters without their separator.
    EXPECT_EQ(fieldReadings("+1.00000000E+00,+2.5000", 10), (Readings{1.0}));
    EXPECT_EQ(fieldReadings("+1.00000000E+00", 10), Readings{});
    EXPECT_EQ(fieldReadings("\n", 10), Readings{});
}

// A field is a reading only when it holds one number: garbled replies
// that happen to begin with a digit are none.
TEST(FetchReply, AFieldWithAnythingButOneNumberIsNoReading) {
    EXPECT_EQ(fieldReadings("#$%&'()*+,-./01,               ,-1.5E-03       ,", 10),
              (Readings{std::nullopt, std::nullopt, -0.0015}));
    EXPECT_EQ(fieldReadings("6B64R/i[agD)/5o,+2.50000000E-01,1#bW*BvgXM2:V*Z\n", 10),
              (Readings{std::nullopt, 0.25, std::nullopt}));
}

}  // namespace
}  // namespace tq
