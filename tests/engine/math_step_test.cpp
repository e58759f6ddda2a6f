#include <gtest/gtest.h>

#include "engine/engine_rig.h"
#include "engine/math_step.h"
#include "rules/reading.h"

namespace tq::test {
namespace {

constexpr int kRow = 10005;

class MathStepTest : public ::testing::Test {
  protected:
    MathStepTest() { rig.store.setValue(kRow, 11, -1); }  // a skipped point leaves it

    void choose(int a, int op, int b, double factor = 1, double offset = 0) {
        rig.in.mathInputs = MathInputs{.setup = {.MathChannelA = static_cast<std::int16_t>(a),
                                                 .MathChannelB = static_cast<std::int16_t>(b),
                                                 .MathOperator = static_cast<std::int16_t>(op)},
                                       .factor = factor,
                                       .offset = offset,
                                       .onRightAxis = true};
    }
    std::optional<double> step() {
        run::mathStep(rig.ctx, kRow);
        return rig.shown.math;
    }
    // Channel ch brought v for this point.
    void read(int ch, double v) {
        rig.state.Reading[static_cast<std::size_t>(ch)] = v;
        rig.store.setValue(kRow, ch, v);
    }

    EngineRig rig;
};

TEST_F(MathStepTest, FirstOperandComesFirstAndTheFirstValueScalesTheRightAxis) {
    choose(3, 2, 1, 2, 1);
    read(3, 5.5);
    read(1, 2);
    EXPECT_EQ(step(), 8);  // (5.5 - 2) x 2 + 1
    EXPECT_DOUBLE_EQ(rig.state.Reading[11], 8);
    EXPECT_DOUBLE_EQ(rig.scale.MathFullScale, 20);  // Int(2 x 8) to one digit
    EXPECT_EQ(rig.shown.mathAxisRefreshes, 1);
    EXPECT_EQ(rig.store.plotY(kRow, 11), 3600);
    EXPECT_EQ(rig.store.value(kRow, 11), 8);

    choose(1, 4, 3);
    EXPECT_EQ(step(), 2 / 5.5);  // the scale stays
    EXPECT_DOUBLE_EQ(rig.scale.MathFullScale, 20);
    EXPECT_EQ(rig.shown.mathAxisRefreshes, 1);

    // Beyond the 32-bit twips: the value is kept, drawn on the edge it
    // lies beyond.
    choose(1, 4, 3, 1E300);
    step();
    EXPECT_EQ(rig.store.value(kRow, 11), 2 / 5.5 * 1E300);
    EXPECT_EQ(rig.store.plotY(kRow, 11), 0);
    choose(1, 4, 3, -1E300);
    step();
    EXPECT_EQ(rig.store.plotY(kRow, 11), 5400);
}

// Each case skips the point: the shown value and Reading(11) keep what they
// had, the point's math cell is not written (a run has emptied it), and the
// next good point is computed again.
TEST_F(MathStepTest, PointsWithoutAValueChangeNothing) {
    read(1, 1);
    read(2, 0.5);
    choose(1, 0, 2);
    EXPECT_EQ(step(), std::nullopt);  // no operator yet
    EXPECT_FALSE(rig.scale.MathAutoScaled);
    EXPECT_EQ(rig.store.value(kRow, 11), -1);
    choose(1, 1, 2);
    ASSERT_EQ(step(), 1.5);
    rig.store.setValue(kRow, 11, -1);
    const auto skipped = [&](const char* what) {
        EXPECT_EQ(step(), 1.5) << what;
        EXPECT_EQ(rig.state.Reading[11], 1.5) << what;
        EXPECT_EQ(rig.store.value(kRow, 11), -1) << what;
    };
    rig.in.mathInputs.reset();
    skipped("math off");
    choose(1, 1, 2);

    // The latest reading of CH2 is 0.5, but this point brought none.
    rig.store.setValue(kRow, 2, RecordStore::kNoReading);
    skipped("operand not read");
    read(2, kOverloadReading);
    skipped("overload");
    read(2, 0);
    choose(1, 4, 2);
    skipped("division by 0");
    read(2, 1E-300);
    choose(1, 4, 2, 1E300);
    skipped("no finite result");

    // Off the right axis the value is shown but neither scales nor is drawn.
    EngineRig off;
    off.in.mathInputs =
        MathInputs{.setup = {.MathChannelA = 1, .MathChannelB = 1, .MathOperator = 1}};
    off.state.Reading[1] = 2;
    off.store.setValue(kRow, 1, 2);
    run::mathStep(off.ctx, kRow);
    EXPECT_EQ(off.shown.math, 4);
    EXPECT_FALSE(off.scale.MathAutoScaled);
    EXPECT_EQ(off.store.value(kRow, 11), std::nullopt);
}

}  // namespace
}  // namespace tq::test
