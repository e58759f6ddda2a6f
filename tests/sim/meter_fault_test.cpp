#include <algorithm>

#include "meter_fixture.h"

namespace tq::sim::test {
namespace {

using MeterFaults = MeterFixture;

constexpr int tries = 200;

TEST_F(MeterFaults, DroppedRepliesTimeOutAndLeaveLaterRepliesInStep) {
    start({.faults = {.dropReply = 0.5}});
    int timeouts = 0;
    for (int i = 0; i < tries; ++i) {
        const std::string reply = query("*IDN?");
        if (reply == "<timeout>") {
            ++timeouts;
        } else {
            EXPECT_EQ(reply, "VARANDEL,TQ4700,TW00000001,2.01\n");
        }
    }
    EXPECT_GT(timeouts, tries / 4);
    EXPECT_LT(timeouts, tries * 3 / 4);
}

TEST_F(MeterFaults, SlowRepliesArriveAfterTheirDelay) {
    start({.faults = {.slowReply = 1, .slowReplyMs = 2500}});
    send("*IDN?");
    EXPECT_EQ(read(2000), "<timeout>");  // the front panel's time-out is shorter
    EXPECT_EQ(read(2000), "VARANDEL,TQ4700,TW00000001,2.01\n");
    EXPECT_EQ(clock.tickMs(), 2500);
}

// What a usbtmc host does after a time-out: the late reply never comes,
// and the next query gets its own.
TEST_F(MeterFaults, AClearDropsTheLateReply) {
    start({.faults = {.slowReply = 1, .slowReplyMs = 2500}});
    send("*IDN?");
    EXPECT_EQ(read(2000), "<timeout>");
    meter->clear();
    EXPECT_EQ(read(5000), "<timeout>");
    send("Rout:state?");
    EXPECT_EQ(read(3000), "1\n");
}

TEST_F(MeterFaults, GarbageKeepsLengthAndTerminatorButNotText) {
    start({.faults = {.garbage = 1}});
    const std::string reply = query("*IDN?");
    ASSERT_EQ(reply.size(), 32u);
    EXPECT_EQ(reply.back(), '\n');
    EXPECT_NE(reply.substr(0, 15), "VARANDEL,TQ4700");
    EXPECT_TRUE(
        std::all_of(reply.begin(), reply.end() - 1, [](char c) { return c >= '!' && c <= '~'; }));
}

TEST_F(MeterFaults, ShortFetchCutsWholeFieldsOnly) {
    start({.faults = {.shortFetch = 1}});
    send("ROUT:SCAN:COUNT 10");
    std::vector<std::size_t> lengths;
    for (int i = 0; i < 50; ++i) {
        send("ROUT:SCAN:STEP");
        const std::string reply = query("FETCH?");
        // Whole fields only; with none left the reply is the bare terminator.
        ASSERT_TRUE(reply.size() == 1 || reply.size() % 16 == 0) << reply;
        ASSERT_LT(reply.size(), 160u);
        lengths.push_back(reply.size());
    }
    std::sort(lengths.begin(), lengths.end());
    EXPECT_GT(std::unique(lengths.begin(), lengths.end()) - lengths.begin(), 3);
    // Other replies are left whole.
    EXPECT_EQ(query("*IDN?"), "VARANDEL,TQ4700,TW00000001,2.01\n");
}

TEST_F(MeterFaults, DisconnectAfterLinesEndsEverything) {
    start({.faults = {.disconnectAfterLines = 3}});
    send("*RST");
    EXPECT_EQ(query("*IDN?"), "VARANDEL,TQ4700,TW00000001,2.01\n");
    EXPECT_TRUE(meter->connected());
    send("*IDN?");  // the third line: the meter vanishes with its reply
    EXPECT_FALSE(meter->connected());
    EXPECT_EQ(read(), "<disconnected>");
    const auto entries = meter->transcript().size();
    send("*IDN?");
    EXPECT_EQ(meter->transcript().size(), entries);  // ignored
    EXPECT_EQ(read(), "<disconnected>");
}

TEST_F(MeterFaults, FaultsRepeatForASeed) {
    auto pattern = [&](std::uint64_t seed) {
        start({.seed = seed, .faults = {.dropReply = 0.3, .garbage = 0.3}});
        std::string replies;
        for (int i = 0; i < 40; ++i) {
            replies += query("*IDN?");
        }
        return replies;
    };
    EXPECT_EQ(pattern(3), pattern(3));
    EXPECT_NE(pattern(3), pattern(4));
}

}  // namespace
}  // namespace tq::sim::test
