#include <cmath>
#include <vector>

#include "common/number_text.h"
#include "meter_fixture.h"

namespace tq::sim::test {
namespace {

// The front panel's way of reading a fetch reply: 16-character fields,
// each a 15-character number and a separator.
std::vector<double> fieldValues(const std::string& reply) {
    std::vector<double> values;
    for (std::size_t at = 0; at + 16 <= reply.size(); at += 16) {
        values.push_back(Val(reply.substr(at, 15)));
    }
    return values;
}

class MeterScan : public MeterFixture {
  protected:
    // Polls as the front panel does (query, 50 ms, read, 100 ms) until the
    // state reaches count; the replies seen.
    std::vector<int> pollUntil(int count) {
        std::vector<int> seen;
        for (int i = 0; i < 1000; ++i) {
            send("Rout:scan:state?");
            clock.pause(50);
            seen.push_back(static_cast<int>(Val(read())));
            if (seen.back() >= count) {
                break;
            }
            clock.pause(100);
        }
        return seen;
    }
};

TEST_F(MeterScan, AnswersTheTwoChannelExampleRun) {
    for (const char* line :
         {"Route:scan:count 2", "TRIG:DEL 0.001", "ROUT:SCAN:TIMER 0.01",
          "rout:scan:func 1,\"VOLT:DC\"", "SENS:VOLT:DC:RANG 10", "rout:scan:func 2,\"VOLT:AC\"",
          "SENS:VOLT:AC:RANG 1", "DET:BAND 20", "ROUT:SCAN:STEP"}) {
        send(line);
    }
    const auto seen = pollUntil(2);
    ASSERT_EQ(seen.back(), 2);
    EXPECT_GE(seen.size(), 2u);  // the 20 Hz filter keeps CH2 busy past the first poll
    for (std::size_t i = 1; i < seen.size(); ++i) {
        EXPECT_LE(seen[i - 1], seen[i]);
    }

    const std::string reply = query("fetch?");
    ASSERT_EQ(reply.size(), 32u);
    EXPECT_EQ(reply[15], ',');
    EXPECT_EQ(reply[31], '\n');
    EXPECT_TRUE(reply[0] == '+' || reply[0] == '-');
    EXPECT_EQ(reply.substr(11, 2), "E+");
    const auto values = fieldValues(reply);
    EXPECT_LE(std::fabs(values[0]), 12);  // DCV within 1.2 x its 10 V range
    EXPECT_GT(values[1], 0.1);            // a steady AC rms well inside 1 V
    EXPECT_LT(values[1], 1.2);
    EXPECT_EQ(nextError(), "+0,\"No error\"\n");
}

TEST_F(MeterScan, StateRisesChannelByChannelAtTheScanTimer) {
    send("ROUT:SCAN:COUNT 10;TIMER 0.5");
    send("ROUT:SCAN:STEP");
    for (int channel = 0; channel <= 10; ++channel) {
        EXPECT_EQ(query("ROUT:SCAN:STATE?"), std::to_string(channel) + "\n");
        clock.advance(499);
        if (channel < 10) {
            EXPECT_EQ(query("ROUT:SCAN:STATE?"), std::to_string(channel) + "\n");
        }
        clock.advance(1);
    }
    const auto values = fieldValues(query("FETCH?"));
    ASSERT_EQ(values.size(), 10u);
    for (std::size_t i = 1; i < values.size(); ++i) {
        EXPECT_NE(values[i], values[i - 1]) << "channels " << i << " and " << i + 1;
    }
    // A new scan starts again from 0; a STEP in the middle of one is refused.
    send("ROUT:SCAN:STEP");
    EXPECT_EQ(query("ROUT:SCAN:STATE?"), "0\n");
    send("ROUT:SCAN:STEP");
    EXPECT_EQ(nextError(), "-213,\"Init ignored\"\n");
}

TEST_F(MeterScan, FilterBandSetsTheScanDuration) {
    auto duration = [&](const std::string& setup) {
        send("ROUT:SCAN:COUNT 1;TIMER 0.001;:" + setup);
        send("ROUT:SCAN:STEP");
        const std::int64_t begin = clock.tickMs();
        // FETCH? during the scan is answered when it ends.
        EXPECT_EQ(fieldValues(query("FETCH?")).size(), 1u) << setup;
        return clock.tickMs() - begin;
    };
    const auto slow = duration("rout:scan:func 1,\"VOLT:AC\";:DET:BAND 3");
    const auto mid = duration("rout:scan:func 1,\"VOLT:AC\";:DET:BAND 20");
    const auto fast = duration("rout:scan:func 1,\"VOLT:AC\";:DET:BAND 200");
    const auto dcv = duration("rout:scan:func 1,\"VOLT:DC\"");
    EXPECT_GE(slow, 1000);
    EXPECT_GE(mid, 250);
    EXPECT_LE(mid, 400);
    EXPECT_LE(fast, 100);
    EXPECT_LT(dcv, fast);
    // Frequency adds its gate time to the filter's settling.
    const auto counter = duration("rout:scan:func 1,\"FREQ\";:DET:BAND 20;:SENS:FREQ:APER 1");
    EXPECT_GE(counter, mid + 900);
}

TEST_F(MeterScan, ReadingsFitFunctionAndOverloadBeyondTheRange) {
    // One channel of each kind, on a range that holds it and on one too
    // small; the overload is exactly the meter's 9.9E+37.
    struct Row {
        const char* function;
        const char* rangeLine;
        const char* smallRangeLine;
        double low;
        double high;
    };
    for (const Row& row : {
             Row{"VOLT:AC", "SENS:VOLT:AC:RANG 1", "SENS:VOLT:AC:RANG .1", 0.5, 0.8},
             Row{"FREQ", "SENS:FREQ:VOLT:RANG 10", "SENS:FREQ:VOLT:RANG .1", 900, 1200},
             Row{"PER", "SENS:PER:VOLT:RANG 10", "SENS:PER:VOLT:RANG .1", 0.8e-3, 1.1e-3},
             Row{"RES", "SENS:RES:RANG  10000", "SENS:RES:RANG  1000", 4650, 4750},
             Row{"FRES", "SENS:FRES:RANG  10000", "SENS:FRES:RANG  1000", 4650, 4750},
         }) {
        send(std::string("ROUT:SCAN:COUNT 1;:rout:scan:func 1,\"") + row.function + "\"");
        send(row.rangeLine);
        send("ROUT:SCAN:STEP");
        const double value = fieldValues(query("FETCH?")).at(0);
        EXPECT_GE(value, row.low) << row.function;
        EXPECT_LE(value, row.high) << row.function;
        send(row.smallRangeLine);
        send("ROUT:SCAN:STEP");
        EXPECT_EQ(query("FETCH?"), "+9.90000000E+37\n") << row.function;
    }
    EXPECT_EQ(nextError(), "+0,\"No error\"\n");
}

TEST_F(MeterScan, DcvIsASlowSineWithinTheChannelsAmplitude) {
    send("ROUT:SCAN:COUNT 1;:rout:scan:func 1,\"VOLT:DC\";:SENS:VOLT:DC:RANG 10");
    double low = 1e9;
    double high = -1e9;
    double previous = 0;
    double largestStep = 0;
    for (int i = 0; i < 200; ++i) {
        send("ROUT:SCAN:STEP");
        const double value = fieldValues(query("FETCH?")).at(0);
        if (i > 0) {
            largestStep = std::max(largestStep, std::fabs(value - previous));
        }
        previous = value;
        low = std::min(low, value);
        high = std::max(high, value);
        clock.advance(500);
    }
    EXPECT_LT(low, -1);  // swings both ways over 100 s...
    EXPECT_GT(high, 1);
    EXPECT_LT(high, 10);          // ...within the range...
    EXPECT_LT(largestStep, 0.5);  // ...and slowly
}

TEST(MeterSeed, SameSeedSameReadingsOtherSeedOthers) {
    // Each run on its own clock from 0, as a fresh program would be.
    auto run = [](std::uint64_t seed) {
        VirtualClock clock;
        Meter meter(clock, {.seed = seed, .faults = {}});
        std::string replies;
        auto query = [&](const std::string& line) {
            meter.receive(line + "\n");
            replies += meter.read(4096, 2000).bytes;
        };
        meter.receive(
            "ROUT:SCAN:COUNT 3;:rout:scan:func 2,\"VOLT:AC\";:rout:scan:func 3,\"RES\"\n");
        for (int i = 0; i < 5; ++i) {
            meter.receive("ROUT:SCAN:STEP\n");
            query("FETCH?");
            query("READ?");
        }
        return replies;
    };
    const std::string first = run(7);
    EXPECT_EQ(first.size(), 5u * (48 + 16));
    EXPECT_EQ(run(7), first);
    EXPECT_NE(run(8), first);
}

TEST_F(MeterScan, ReadTakesItsMeasurementTimeInMainUnitMode) {
    for (const char* line :
         {"TRIG:DEL 0.1", "TRIGger:Source IMM", "CONF:VOLT:AC 100", "DET:BAND 3"}) {
        send(line);
    }
    send("READ?");
    const std::int64_t begin = clock.tickMs();
    const std::string reply = read();
    EXPECT_GE(clock.tickMs() - begin, 1000);
    ASSERT_EQ(reply.size(), 16u);
    EXPECT_EQ(reply[15], '\n');
    EXPECT_GT(Val(reply), 0.3);
    EXPECT_EQ(query("CONF?"), "\"VOLT:AC +1.00000000E+02\"\n");

    // A short time-out gives up; the reply is still read later.
    send("READ?");
    EXPECT_EQ(read(50), "<timeout>");
    EXPECT_EQ(read().size(), 16u);

    send("CONF:RES  1000000");
    send("SENS:RES:NPLC 1");
    EXPECT_NEAR(Val(query("READ?")), 4700.4, 1);
    send("CONF:FREQ DEF");
    EXPECT_NEAR(Val(query("READ?")), 1000, 1);
    // A bus trigger never comes while the meter waits for READ?.
    send("TRIG:SOUR BUS");
    EXPECT_EQ(query("READ?"), "<timeout>");
    EXPECT_EQ(nextError(), "-214,\"Trigger deadlock\"\n");
}

}  // namespace
}  // namespace tq::sim::test
