#include "rules/scale.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace tq {
namespace {

bool sameScale(const ScaleState& a, const ScaleState& b) {
    return a.ScaleValue == b.ScaleValue && a.ScaleUnit == b.ScaleUnit &&
           a.FullScaleDCV == b.FullScaleDCV && a.FullScaleACV == b.FullScaleACV &&
           a.FullScaleFreq == b.FullScaleFreq && a.FullScalePeriod == b.FullScalePeriod &&
           a.FullScale2W == b.FullScale2W && a.FullScale4W == b.FullScale4W &&
           a.FreqInputRange == b.FreqInputRange && a.PeriodInputRange == b.PeriodInputRange;
}

TEST(TransRange, Voltages) {
    ScaleState s;
    TransRange(s, "DCV", "100mV");
    EXPECT_EQ(s.ScaleValue, 100);
    EXPECT_EQ(s.ScaleUnit, "mV");
    EXPECT_EQ(s.FullScaleDCV, 0.1);
    TransRange(s, "ACV", "750V");
    EXPECT_EQ(s.ScaleValue, 750);
    EXPECT_EQ(s.ScaleUnit, "V");
    EXPECT_EQ(s.FullScaleACV, 750);
    EXPECT_EQ(s.FullScaleDCV, 0.1);
}

TEST(TransRange, ResistanceTable) {
    struct Row {
        std::string_view range;
        double scaleValue;
        std::string_view unit;
        double fullScale;
    };
    for (const Row& r :
         {Row{"100M", 100, "M", 1e8}, Row{"10M", 10, "M", 1e7}, Row{"1M", 1000, "K", 1e6},
          Row{"100K", 100, "K", 1e5}, Row{"10K", 10, "K", 1e4}, Row{"1K", 1000, "", 1000},
          Row{"100", 100, "", 100}}) {
        ScaleState s;
        TransRange(s, "2WR", r.range);
        EXPECT_EQ(s.ScaleValue, r.scaleValue) << r.range;
        EXPECT_EQ(s.ScaleUnit, r.unit) << r.range;
        EXPECT_EQ(s.FullScale2W, r.fullScale) << r.range;
        TransRange(s, "4WR", r.range);
        EXPECT_EQ(s.FullScale4W, r.fullScale) << r.range;
    }
}

TEST(TransRange, AutoUnknownFunctionAndUnknownResistanceChangeNothing) {
    ScaleState s;
    TransRange(s, "DCV", "10V");
    TransRange(s, "2WR", "1K");
    const ScaleState before = s;
    TransRange(s, "DCV", "AUTO");
    TransRange(s, "2WR", "AUTO");
    TransRange(s, "2WR", "5K");
    TransRange(s, "NONE", "10V");
    TransRange(s, "Math", "100mV");
    EXPECT_TRUE(sameScale(s, before));
}

TEST(TransRange, FrequencyOnlyBeforeTheAutoscale) {
    ScaleState s;
    TransRange(s, "Frequency", "1V");
    EXPECT_EQ(s.FreqInputRange, 1);
    EXPECT_EQ(s.FullScaleFreq, 300000);
    EXPECT_EQ(s.FreqScaleDefault, 300000);
    EXPECT_EQ(s.ScaleValue, 300);
    EXPECT_EQ(s.ScaleUnit, "KHz");
    TransRange(s, "Frequency", "100mV");
    EXPECT_EQ(s.FreqInputRange, 0.1);

    ASSERT_TRUE(autoscaleFrequency(s, 1000));
    TransRange(s, "Frequency", "10V");
    EXPECT_EQ(s.FullScaleFreq, 3000);
    EXPECT_EQ(s.FreqInputRange, 0.1);
    EXPECT_EQ(s.ScaleValue, 300);
}

TEST(TransRange, PeriodInputRangeWhateverTheFlag) {
    ScaleState s;
    s.PeriodAutoScaled = true;
    s.FullScalePeriod = 0.002;
    TransRange(s, "Period", "10V");
    EXPECT_EQ(s.PeriodInputRange, 10);
    EXPECT_EQ(s.FullScalePeriod, 0.002);
    EXPECT_EQ(s.ScaleUnit, "S");
    s.PeriodAutoScaled = false;
    TransRange(s, "Period", "100mV");
    EXPECT_EQ(s.PeriodInputRange, 0.1);
    EXPECT_EQ(s.FullScalePeriod, 0.5);
    EXPECT_EQ(s.PeriodScaleDefault, 0.5);
}

TEST(Labels, LeftAxisSets) {
    ScaleState s;
    TransRange(s, "DCV", "100mV");
    const ValueLabels dcv = valueLabels(s.ScaleValue, s.ScaleUnit);
    for (int k = 0; k < kValueLabelCount; ++k) {
        EXPECT_EQ(dcv[static_cast<std::size_t>(k)], std::to_string(10 * k) + ".mV");
    }
    EXPECT_EQ(valueLabels(1000, "K")[3], "300.K");
    EXPECT_EQ(valueLabels(0.5, "S")[1], "0.05S");

    TransRange(s, "Frequency", "100V");
    const ValueLabels freq = frequencyLabels(s.FullScaleFreq);
    EXPECT_EQ(freq[0], "0.");
    EXPECT_EQ(freq[1], "30000.");
    EXPECT_EQ(freq[12], "360000.");

    // Four decimals after a range change, three after a left-axis choice.
    EXPECT_EQ(periodLabels(0.000005, kPeriodPictureRangeChange)[1], "0.0005ms");
    EXPECT_EQ(periodLabels(0.000005, kPeriodPictureScaleChoice)[1], "0.001ms");
    EXPECT_EQ(periodLabels(0.002, kPeriodPictureScaleChoice)[12], "2.4ms");
    EXPECT_EQ(plainLabels(10)[12], "12");
    EXPECT_EQ(plainLabels(5)[1], "0.5");
}

TEST(Labels, PointsPerScreen) {
    ScaleState s;
    setPointsPerScreen(s, 1000);
    EXPECT_EQ(s.PointStep, 9);
    EXPECT_EQ(s.PointsPerDiv, 100);
    const PointLabels labels = pointLabels(1000);
    EXPECT_EQ(labels[0], "1");
    EXPECT_EQ(labels[1], "101");
    EXPECT_EQ(labels[10], "1001");
    EXPECT_EQ(pointLabels(100)[10], "101");
    setPointsPerScreen(s, 20);
    EXPECT_EQ(s.PointStep, 450);
    setPointsPerScreen(s, 300);  // not offered: the step stays
    EXPECT_EQ(s.PointStep, 450);
    EXPECT_EQ(s.PointsPerDiv, 30);
}

TEST(Autoscale, RoundedToOneDigit) {
    EXPECT_EQ(frequencyAutoScale(1000), 3000);
    EXPECT_EQ(frequencyAutoScale(1600), 5000);  // 4800
    EXPECT_EQ(frequencyAutoScale(0.2), 0);
    EXPECT_EQ(periodAutoScale(0.001), 0.002);
    EXPECT_EQ(periodAutoScale(0.0000002), 0);
    EXPECT_EQ(roundedScale(2500), 2000);  // halves to even
    EXPECT_EQ(roundedScale(3500), 4000);
    EXPECT_EQ(roundedScale(96), 100);
    EXPECT_EQ(roundedScale(7), 7);
    EXPECT_EQ(mathAutoScale(2), 4);
    EXPECT_EQ(mathAutoScale(0.4), 1);
    EXPECT_EQ(mathAutoScale(-30), 1);
    EXPECT_EQ(mathAutoScale(1250), 2000);
    EXPECT_FALSE(frequencyAutoScale(1e308));
}

TEST(Autoscale, OnlyTheFirstValidReadingOfARun) {
    ScaleState s;
    EXPECT_FALSE(autoscaleFrequency(s, 9.9E+37));
    EXPECT_FALSE(s.FreqAutoScaled);
    EXPECT_TRUE(autoscaleFrequency(s, 1600));
    EXPECT_FALSE(autoscaleFrequency(s, 10));
    EXPECT_EQ(s.FullScaleFreq, 5000);

    EXPECT_TRUE(autoscalePeriod(s, 0.001));
    EXPECT_FALSE(autoscalePeriod(s, 1));
    EXPECT_EQ(s.FullScalePeriod, 0.002);

    EXPECT_TRUE(autoscaleMath(s, 0.1));
    EXPECT_EQ(s.MathFullScale, 1);
    EXPECT_FALSE(autoscaleMath(s, 100));
}

}  // namespace
}  // namespace tq
