// Long runs of the whole window against a simulated meter that drops,
// delays, garbles and cuts its replies, or vanishes: the run never crashes
// or hangs, the store holds exactly what the meter sent or nothing, a
// vanished meter ends the run with its message, and the record can still
// be reviewed and exported.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "fault_check.h"

namespace tq::test {
namespace {

// Lines a point costs on the wire, roughly, to place a disconnect inside
// the run.
constexpr long kScanCardLinesPerPoint = 25;
constexpr long kMainUnitLinesPerPoint = 5;

struct Soak {
    Mode mode;
    std::uint64_t seed;
    int points;
    bool mayDisconnect;
};

RunFigures soak(const Soak& s, int pointsPerScreen = 100) {
    const long lines = static_cast<long>(s.points) *
                       (s.mode == Mode::ScanCard ? kScanCardLinesPerPoint : kMainUnitLinesPerPoint);
    sim::Options meter;
    meter.seed = s.seed;
    meter.faults = randomFaults(s.seed, lines, s.mayDisconnect);
    FaultRig rig(meter, s.mode);
    rig.setPointsPerScreen(pointsPerScreen);
    rig.run(s.points);
    RunFigures fig = checkRunAgainstWire(rig, s.points);
    RecordProperty("seed" + std::to_string(s.seed) + "_points", fig.points);
    return fig;
}

std::string describe(const RunFigures& f) {
    return std::to_string(f.points) + " points, " + std::to_string(f.readingsStored) +
           " readings stored, " + std::to_string(f.readingsAbsent) + " absent; faults: " +
           std::to_string(f.faults.dropped) + " dropped, " + std::to_string(f.faults.slow) +
           " slow, " + std::to_string(f.faults.garbage) + " garbage, " +
           std::to_string(f.faults.shortFetch) + " short, " + std::to_string(f.faults.overloads) +
           " overloads" + (f.faults.disconnected ? ", disconnected" : "");
}

TEST(FaultInjection, ScanCardRunsOfTenChannelsKeepExactlyWhatTheMeterSent) {
    RunFigures all;
    for (const std::uint64_t seed : {11u, 12u, 13u}) {
        const RunFigures f = soak({Mode::ScanCard, seed, 1500, false});
        all.readingsStored += f.readingsStored;
        all.faults += f.faults;
        if (HasFailure()) {
            FAIL() << "seed " << seed << ": " << describe(f);
        }
    }
    // Every kind of fault came up, and overloads among the readings.
    EXPECT_GT(all.faults.dropped, 0);
    EXPECT_GT(all.faults.slow, 0);
    EXPECT_GT(all.faults.garbage, 0);
    EXPECT_GT(all.faults.shortFetch, 0);
    EXPECT_GT(all.faults.overloads, 0);
}

TEST(FaultInjection, MainUnitRunsKeepExactlyWhatTheMeterSent) {
    RunFigures all;
    for (const std::uint64_t seed : {21u, 22u, 23u}) {
        const RunFigures f = soak({Mode::MainUnit, seed, 3000, false});
        all.faults += f.faults;
        if (HasFailure()) {
            FAIL() << "seed " << seed << ": " << describe(f);
        }
    }
    EXPECT_GT(all.faults.dropped, 0);
    EXPECT_GT(all.faults.slow, 0);
    EXPECT_GT(all.faults.garbage, 0);
    EXPECT_GT(all.faults.shortFetch, 0);
    EXPECT_GT(all.faults.overloads, 0);
}

// A meter that vanishes part-way: the message, an idle window, and a record
// that can be reviewed and exported with every point taken.
TEST(FaultInjection, AVanishedMeterEndsTheRunAndTheRecordCanBeReviewedAndSaved) {
    for (const Mode mode : {Mode::ScanCard, Mode::MainUnit}) {
        for (const int disconnectAt : {40, 1300, 2777}) {
            SCOPED_TRACE(std::string(mode == Mode::ScanCard ? "scan card" : "main unit") +
                         ", vanishing after line " + std::to_string(disconnectAt));
            sim::Options meter;
            meter.seed = static_cast<std::uint64_t>(disconnectAt);
            meter.faults = randomFaults(meter.seed, 0, false);
            meter.faults.disconnectAfterLines = disconnectAt;
            FaultRig rig(meter, mode);
            rig.setPointsPerScreen(50);
            rig.run(400);
            const RunFigures f = checkRunAgainstWire(rig, 400);
            ASSERT_TRUE(f.faults.disconnected);
            reviewAfterRun(rig);
            exportAndReadBack(rig, TQ_EXPORT_CHECKER);
            if (HasFailure()) {
                FAIL() << describe(f);
            }
        }
    }
}

}  // namespace
}  // namespace tq::test
