// The fault-injection checks over many seeds and long runs, run by hand:
//   TQ_SOAK_SEEDS=20 TQ_SOAK_POINTS=10000 TQ_SOAK_FIRST_SEED=1000 app_fault_soak
// (TQ_SOAK_POINTS_PER_SCREEN, default 100; TQ_SOAK_SLOW_MS sets how late a
// slow reply comes, default 1000 to 3000 ms drawn per seed; TQ_SOAK_SOCKET=1
// runs against tq4700-sim's server over a loopback socket, in wall time ten
// times faster, so keep TQ_SOAK_POINTS to a few hundred.)
// Every run is checked against the wire as in CTest; the figures go to
// standard output.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fault_check.h"

namespace tq::test {
namespace {

long setting(const char* name, long fallback) {
    const char* v = std::getenv(name);
    return v != nullptr ? std::strtol(v, nullptr, 10) : fallback;
}

void soakMode(Mode mode) {
    const long seeds = setting("TQ_SOAK_SEEDS", 4);
    const long points = setting("TQ_SOAK_POINTS", 10000);
    const long first = setting("TQ_SOAK_FIRST_SEED", 1000);
    const long perScreen = setting("TQ_SOAK_POINTS_PER_SCREEN", 100);
    const long linesPerPoint = mode == Mode::ScanCard ? 25 : 4;
    RunFigures all;
    long runs = 0;
    const auto began = std::chrono::steady_clock::now();
    for (long seed = first; seed < first + seeds; ++seed) {
        sim::Options meter;
        meter.seed = static_cast<std::uint64_t>(seed);
        meter.faults = randomFaults(meter.seed, points * linesPerPoint, true);
        // Replies later than the read time-out, to see what a late reply does.
        if (const long slowMs = setting("TQ_SOAK_SLOW_MS", 0); slowMs > 0) {
            meter.faults.slowReplyMs = slowMs;
        }
        FaultRig rig(meter, mode,
                     setting("TQ_SOAK_SOCKET", 0) != 0 ? Wire::Socket : Wire::InProcess);
        rig.setPointsPerScreen(static_cast<int>(perScreen));
        const auto t0 = std::chrono::steady_clock::now();
        rig.run(static_cast<int>(points));
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::steady_clock::now() - t0)
                            .count();
        const RunFigures f = checkRunAgainstWire(rig, static_cast<int>(points));
        if (f.faults.disconnected) {
            reviewAfterRun(rig);
            exportAndReadBack(rig, TQ_EXPORT_CHECKER);
        }
        const char* name = mode == Mode::ScanCard ? "scan card" : "main unit";
        std::printf("%s seed %ld in %lld ms: %s\n", name, seed, static_cast<long long>(ms),
                    f.describe().c_str());
        std::fflush(stdout);
        ++runs;
        all += f;
        ASSERT_FALSE(::testing::Test::HasFailure()) << "seed " << seed;
    }
    const auto total =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - began)
            .count();
    std::printf("%s total: %ld runs in %lld s: %s\n",
                mode == Mode::ScanCard ? "scan card" : "main unit", runs,
                static_cast<long long>(total), all.describe().c_str());
}

TEST(FaultSoak, ScanCard) {
    soakMode(Mode::ScanCard);
}

TEST(FaultSoak, MainUnit) {
    soakMode(Mode::MainUnit);
}

}  // namespace
}  // namespace tq::test
