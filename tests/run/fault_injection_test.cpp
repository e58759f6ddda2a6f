// Runs that end or start in ways the fault-injection and hostile-input
// suites (tests/app) first caught: a meter that vanishes once the screen has
// scrolled, and a channel count the window never accepted.
#include <gtest/gtest.h>

#include <string>

#include "run/run_rig.h"

namespace tq::test {
namespace {

// The screen had scrolled when the meter went: the last point taken stays
// at the right edge and every earlier one in the row before it, where
// review and export look for them.
TEST(RunEnd, AMeterGoneAfterTheScreenScrolledLeavesEveryPointInItsRow) {
    sim::Options meter;
    meter.faults.disconnectAfterLines = 240;
    RunRig rig(meter);
    rig.setChannels({{"DCV", "10V"}});
    rig.setPointsPerScreen(10);
    rig.run(100);
    ASSERT_EQ(rig.boxes.texts.size(), 1u);
    const int P = static_cast<int>(rig.points.size());
    ASSERT_GT(P, 12);
    ASSERT_LT(P, 100);
    EXPECT_EQ(rig.p.TxtPoint1->text(), QString::number(P));
    for (int k = 1; k <= P; ++k) {
        const int row = 10001 + 10 - P + k;
        EXPECT_EQ(rig.store.value(row, 1), rig.points[static_cast<std::size_t>(k - 1)].reading[1])
            << "point " << k;
    }
    // The row after the screen holds no reading.
    EXPECT_EQ(rig.store.value(10012, 1), std::nullopt);
}

// A count the field ignored while it was typed (here 12 with three rows
// shown) is not what the card scans: the run scans the rows shown instead
// of waiting for channels that never come.
TEST(RunEnd, AChannelCountOutsideOneToTenScansTheRowsShown) {
    for (const char* typed : {"12", "1e309", "-1", ""}) {
        RunRig rig;
        rig.setChannels({{"DCV", "10V"}, {"ACV", "1V"}, {"DCV", "1V"}});
        rig.p.TxtChNo->setText(typed);
        bool stoppedByGuard = false;
        rig.clock.startTimer(600000, [&] {
            stoppedByGuard = true;
            rig.p.ChkTest[0]->setChecked(false);
        });
        rig.run(2);
        EXPECT_FALSE(stoppedByGuard) << typed;
        EXPECT_EQ(rig.points.size(), 2u) << typed;
        EXPECT_EQ(rig.count("Route:scan:count 3"), 1) << typed;
        EXPECT_EQ(rig.p.TxtChNo->text(), "3") << typed;
        EXPECT_EQ(rig.store.value(10002, 3), rig.points[1].reading[3]) << typed;
    }
}

}  // namespace
}  // namespace tq::test
