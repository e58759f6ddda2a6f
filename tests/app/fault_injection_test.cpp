// Long runs of the whole window against a simulated meter that drops,
// delays, garbles and cuts its replies, or vanishes: the run never crashes
// or hangs, the store holds exactly what the meter sent or nothing, a
// vanished meter ends the run with its message, and the record can still
// be reviewed and exported.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>

#include "fault_check.h"

namespace tq::test {
namespace {

// Two seeds of one mode; every kind of fault comes up among them, and
// overloads among the readings.
void soakSeeds(Mode mode, std::array<std::uint64_t, 2> seeds, int points) {
    RunFigures all;
    for (const std::uint64_t seed : seeds) {
        const RunFigures f = soak(mode, seed, points, false);
        all += f;
        if (::testing::Test::HasFailure()) {
            FAIL() << "seed " << seed << ": " << f.describe();
        }
    }
    ::testing::Test::RecordProperty("faults", all.describe());
    EXPECT_GT(all.faults.dropped, 0);
    EXPECT_GT(all.faults.slow, 0);
    EXPECT_GT(all.faults.garbage, 0);
    EXPECT_GT(all.faults.shortFetch, 0);
    EXPECT_GT(all.faults.overloads, 0);
}

TEST(FaultInjection, ScanCardRunsOfTenChannelsKeepExactlyWhatTheMeterSent) {
    // Seed 8's slow replies miss the read time-out; seed 11's make it.
    soakSeeds(Mode::ScanCard, {8u, 11u}, 1500);
}

TEST(FaultInjection, MainUnitRunsKeepExactlyWhatTheMeterSent) {
    // Seed 6's slow replies miss the read time-out; seed 21's make it.
    soakSeeds(Mode::MainUnit, {6u, 21u}, 2500);
}

// Over tq4700-sim's socket, replies later than the read time-out: the
// window reconnects after each time-out and stores every reading against
// its own point or leaves it out.
TEST(FaultInjection, OverASocketALateReplyNeverAnswersALaterQuery) {
    for (const Mode mode : {Mode::ScanCard, Mode::MainUnit}) {
        SCOPED_TRACE(mode == Mode::ScanCard ? "scan card" : "main unit");
        sim::Options meter;
        meter.seed = 5;
        meter.faults.slowReply = 0.15;
        meter.faults.slowReplyMs = 2500;
        FaultRig rig(meter, mode, Wire::Socket);
        // Three channels keep the scans short in wall time.
        rig.p().TxtChNo->setText("3");
        rig.run(30);
        const RunFigures f = checkRunAgainstWire(rig, 30);
        EXPECT_GT(f.faults.dropped, 0);
        EXPECT_GT(f.readingsStored, 0);
        RecordProperty(mode == Mode::ScanCard ? "scan_card" : "main_unit", f.describe());
    }
}

// A meter that vanishes part-way: the message, an idle window, and a record
// that can be reviewed and exported with every point taken.
TEST(FaultInjection, AVanishedMeterEndsTheRunAndTheRecordCanBeReviewedAndSaved) {
    RunFigures all;
    for (const Mode mode : {Mode::ScanCard, Mode::MainUnit}) {
        // Inside the first point, the first screen and the scrolled screen.
        const std::array<int, 3> lines =
            mode == Mode::ScanCard ? std::array{40, 1300, 2777} : std::array{12, 220, 1500};
        for (const int disconnectAt : lines) {
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
            // The waveform moves took every point along with the screen.
            checkRunAgainstWire(rig, 400);
            exportAndReadBack(rig, TQ_EXPORT_CHECKER);
            // The next run's record is saved nowhere yet.
            rig.run(1);
            EXPECT_TRUE(rig.form->savePanel().lastSavedPath().isEmpty());
            EXPECT_TRUE(rig.form->savePanel().savedPathLabel()->text().isEmpty());
            if (HasFailure()) {
                FAIL() << f.describe();
            }
            all += f;
        }
    }
    RecordProperty("faults", all.describe());
}

}  // namespace
}  // namespace tq::test
