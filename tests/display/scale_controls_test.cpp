#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QStringList>
#include <memory>

#include "common/virtual_clock.h"
#include "display/scale_controls.h"
#include "panel/panel.h"
#include "panel/widget_app.h"
#include "rules/scale.h"

namespace tq {
namespace {

QStringList texts(const auto& labels) {
    QStringList out;
    for (const Label* l : labels) {
        out << l->text();
    }
    return out;
}

// k * step for k = 0 .. count - 1, each followed by suffix.
QStringList series(int count, double step, const QString& suffix) {
    QStringList out;
    for (int k = 0; k < count; ++k) {
        out << QString::number(k * step, 'g', 12) + suffix;
    }
    return out;
}

class ScaleControlsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::widgetApp();
        form = std::make_unique<QWidget>();
        buildPanel(form.get(), p);
        controls = std::make_unique<ScaleControls>(p, clock, scale);
        controls->connectEvents();
        clock.setYieldHook([this] { ++yields; });
    }

    // A user's pick from a combo box's list.
    static void pick(QComboBox* box, const QString& item) {
        const int index = box->findText(item);
        ASSERT_GE(index, 0) << item.toStdString();
        box->setCurrentIndex(index);
        emit box->activated(index);
    }

    // A row set up from code: no handler runs.
    void setRow(int i, const QString& function, const QString& range) {
        p.CboFunc[i]->setEditText(function);
        p.CboRange[i]->setEditText(range);
    }

    std::unique_ptr<QWidget> form;
    Panel p;
    VirtualClock clock;
    ScaleState scale;
    std::unique_ptr<ScaleControls> controls;
    int yields = 0;
};

TEST_F(ScaleControlsTest, DcvRangePickWritesValueLabelsWithBarePointAndUnit) {
    pick(p.CboRange[0], "100mV");
    EXPECT_DOUBLE_EQ(scale.FullScaleDCV, 0.1);
    EXPECT_EQ(texts(p.LabY), series(13, 10, ".mV"));
    // Every other DCV row shows the same range, hidden or not.
    for (int i = 1; i < 10; ++i) {
        EXPECT_EQ(p.CboRange[i]->currentText(), "100mV");
    }

    // "AUTO" keeps the last translation and rewrites the labels from it.
    p.LabY[3]->setText("x");
    pick(p.CboRange[0], "AUTO");
    EXPECT_DOUBLE_EQ(scale.FullScaleDCV, 0.1);
    EXPECT_EQ(p.LabY[3]->text(), "30.mV");
}

TEST_F(ScaleControlsTest, RangeOfAnotherFunctionTranslatesTheShownChannel) {
    setRow(0, "DCV", "10V");
    setRow(2, "2WR", "1M");
    setRow(3, "2WR", "1M");
    p.CboRange[2]->setEditText("10K");
    controls->CboRange_Click(2);
    EXPECT_EQ(p.CboRange[3]->currentText(), "10K");
    EXPECT_EQ(p.CboRange[0]->currentText(), "10V");
    EXPECT_DOUBLE_EQ(scale.FullScaleDCV, 10);
    EXPECT_DOUBLE_EQ(scale.FullScale2W, 0);  // CH3 is not on the axis
    EXPECT_EQ(texts(p.LabY), series(13, 1, ".V"));
    EXPECT_FALSE(scale.FreqRangeChanged);
}

TEST_F(ScaleControlsTest, FrequencyAxisShowsTheDefaultScaleUntilARunScalesIt) {
    setRow(0, "Frequency", "1V");
    controls->CboScale_Click(0);
    EXPECT_DOUBLE_EQ(scale.FreqInputRange, 1);
    EXPECT_EQ(texts(p.LabY), series(13, 30000, "."));

    // A range change while the scale is still the default leaves the axis.
    p.LabY[12]->setText("x");
    pick(p.CboRange[0], "100mV");
    EXPECT_EQ(p.LabY[12]->text(), "x");
    EXPECT_DOUBLE_EQ(scale.FreqInputRange, 0.1);
    EXPECT_TRUE(scale.FreqRangeChanged);
}

TEST_F(ScaleControlsTest, PeriodLabelsCarryThreeDecimalsAfterAScalePickAndFourAfterARange) {
    setRow(0, "Period", "10V");
    controls->CboScale_Click(0);
    EXPECT_EQ(texts(p.LabY), series(13, 50, ".ms"));

    ASSERT_TRUE(autoscalePeriod(scale, 1e-6));  // 2 us full scale
    controls->CboScale_Click(0);
    EXPECT_EQ(p.LabY[1]->text(), "0.ms");
    EXPECT_EQ(p.LabY[5]->text(), "0.001ms");
    controls->CboRange_Click(0);
    EXPECT_EQ(p.LabY[1]->text(), "0.0002ms");
    EXPECT_EQ(p.LabY[12]->text(), "0.0024ms");
    EXPECT_TRUE(scale.PeriodRangeChanged);
}

TEST_F(ScaleControlsTest, PointsPerScreenSetTheStepAndBottomLabels) {
    pick(p.CboPoint, "1000");
    EXPECT_EQ(scale.PointStep, 9);
    EXPECT_DOUBLE_EQ(scale.PointsPerDiv, 100);
    for (int k = 0; k < 11; ++k) {
        EXPECT_EQ(p.LabX[k]->text(), QString::number(1 + 100 * k));
    }
}

TEST_F(ScaleControlsTest, StartUpLabelsComeFromTheRangeFieldsAndYieldPerLabel) {
    p.TxtRange[0]->setText("50");
    p.TxtRange[1]->setText("3");
    controls->DrawScaleLabels();
    EXPECT_EQ(texts(p.LabY), series(13, 5, ""));
    EXPECT_EQ(texts(p.LabY1), series(13, 0.3, ""));
    EXPECT_EQ(p.LabX[1]->text(), "11");
    EXPECT_EQ(p.LabX[10]->text(), "101");
    EXPECT_EQ(yields, 13 + 11);
}

TEST_F(ScaleControlsTest, AxisRefreshAfterAutoscalePassesANeighbourAndComesBack) {
    setRow(0, "Frequency", "1V");
    setRow(1, "DCV", "10V");
    controls->CboScale_Click(0);
    ASSERT_TRUE(autoscaleFrequency(scale, 1000));

    QStringList seen;
    clock.setYieldHook([&] { seen << p.CboScale[0]->currentText(); });
    controls->refreshLeftAxis(1);
    EXPECT_EQ(seen, QStringList({"CH2", "CH1"}));
    EXPECT_EQ(controls->leftAxisChannel(), 1);
    EXPECT_EQ(texts(p.LabY), series(13, 300, "."));
    EXPECT_DOUBLE_EQ(scale.FullScaleFreq, 3000);

    seen.clear();
    p.CboScale[0]->setEditText("CH3");
    controls->refreshLeftAxis(3);
    EXPECT_EQ(seen, QStringList({"CH2", "CH3"}));
}

TEST_F(ScaleControlsTest, MathLabelsFollowTheMathScale) {
    scale.MathFullScale = 5;
    controls->writeMathLabels();
    EXPECT_EQ(texts(p.LabY1), series(13, 0.5, ""));
    EXPECT_EQ(yields, 13);
}

}  // namespace
}  // namespace tq
