// What a run tells its observers, held against what the store and the
// meter's link say: the set-up as the first point sent it, every point as
// the store holds it (the math value among it) and every failed read.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "engine/engine_rig.h"

namespace tq::test {
namespace {

TEST(RunEvents, AScanCardRunWithOverloadsGapsAndMathIsToldAsTheStoreHoldsIt) {
    EngineRig rig;
    rig.setChannels({{"DCV", "10V", "20Hz"}, {"ACV", "1V", "200Hz"}, {"DCV", "AUTO", "20Hz"}});
    rig.in.perScreen = 10;
    rig.in.mathInputs = MathInputs{
        .setup = {.MathChannelA = 1, .MathChannelB = 3, .MathOperator = 2}, .onRightAxis = true};
    rig.scripted.script("fetch?", 2,
                        replyWith("+9.90000000E+37,#$%&'()*+,-./01,+1.00000000E+00\n"));
    rig.scripted.script("fetch?", 4, timeOut());
    rig.scripted.script("fetch?", 5, replyWith("garbage that holds no number at all!!\n"));
    rig.run(14);

    const Recorder& rec = rig.events;
    ASSERT_TRUE(rec.setup);
    const RunSetup& s = *rec.setup;
    EXPECT_EQ(s.mode, RunMode::ScanCard);
    ASSERT_EQ(s.channels.size(), 3u);
    EXPECT_EQ(s.channels[1].channel, 2);
    EXPECT_EQ(s.channels[1].function, "ACV");
    EXPECT_EQ(s.channels[1].rangeText, "1V");
    EXPECT_EQ(s.channels[1].filter, "200Hz");
    EXPECT_EQ(s.channels[0].rangeValue, 10.0);
    EXPECT_EQ(s.band, 20);
    EXPECT_EQ(s.triggerDelay, "0.001");
    EXPECT_EQ(s.scanTime, "0.01");
    EXPECT_EQ(s.recordLength, 14);
    EXPECT_EQ(s.mathFormula, "(CH1-CH3)*1+0");

    EXPECT_EQ(rec.order.substr(0, 2), "SP");
    EXPECT_EQ(rec.end, RunEnd::Completed);
    EXPECT_EQ(rec.pointsTaken, 14);
    ASSERT_EQ(rec.stored.size(), 14u);
    EXPECT_EQ(rec.stored[1].values[1], 9.9E+37);
    EXPECT_EQ(rec.stored[1].values[2], std::nullopt);
    EXPECT_EQ(rec.stored[3].values[1], std::nullopt);
    EXPECT_TRUE(rec.stored[3].seconds.has_value());
    EXPECT_EQ(rec.stored[0].values[11], *rec.taken[0][1] - *rec.taken[0][3]);
    ASSERT_EQ(rec.failures.size(), 2u);
    EXPECT_EQ(rec.failures[0].point, 4);
    EXPECT_EQ(rec.failures[0].why, ReadFailure::TimedOut);
    EXPECT_EQ(rec.failures[1].point, 5);
    EXPECT_EQ(rec.failures[1].why, ReadFailure::NoNumber);
    rig.expectRowsHold();
}

TEST(RunEvents, AMainUnitRunAndARunOfNoPointsAreToldTheirSetUp) {
    EngineRig rig(EngineRig::noCard());
    rig.setChannels({{"DCV", "10V"}});
    rig.in.mathInputs = MathInputs{
        .setup = {.MathChannelA = 1, .MathChannelB = 1, .MathOperator = 1}, .onRightAxis = true};
    rig.run(1);
    ASSERT_TRUE(rig.events.setup);
    EXPECT_EQ(rig.events.setup->mode, RunMode::MainUnit);
    ASSERT_EQ(rig.events.setup->channels.size(), 1u);
    EXPECT_EQ(rig.events.setup->channels[0].rangeValue, 10.0);
    EXPECT_EQ(rig.events.setup->scanTime, "");
    EXPECT_EQ(rig.events.setup->mathFormula, std::nullopt);
    EXPECT_EQ(rig.events.stored[0].values[11], std::nullopt);

    Recorder none;
    rig.observers.add(&none);
    rig.run(0);
    EXPECT_EQ(none.order, "SE");
    EXPECT_EQ(none.setup->recordLength, 0);
    EXPECT_EQ(none.end, RunEnd::Completed);
}

}  // namespace
}  // namespace tq::test
