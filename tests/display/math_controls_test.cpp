#include "display/math_controls.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include "common/virtual_clock.h"
#include "display/reading.h"
#include "display/scale.h"
#include "panel/panel.h"
#include "panel/widget_app.h"
#include "run/record_store.h"

namespace tq {
namespace {

constexpr int kRow = 10005;

class MathControlsTest : public ::testing::Test {
  protected:
    MathControlsTest() {
        buildPanel(&form, p);
        math.connectEvents();
        store.setValue(kRow, 11, -1);  // a skipped point leaves it
    }
    void choose(const char* first, const char* op, const char* second) {
        p.Cbo1[0]->setEditText(QString::fromUtf8(first));
        p.Cbo2->setEditText(QString::fromUtf8(op));
        p.Cbo1[1]->setEditText(QString::fromUtf8(second));
    }
    QString step() {
        math.mathStep(Reading, kRow);
        return p.Text4->text();
    }

    QApplication& app = test::widgetApp();
    QWidget form;
    Panel p;
    VirtualClock clock;
    ScaleState scale;
    RecordStore store;
    MathControls math{p, clock, scale, store};
    std::array<double, 12> Reading{};
};

TEST_F(MathControlsTest, FirstOperandComesFirstAndTheFirstValueScalesTheRightAxis) {
    choose("CH3", "減", "CH1");
    p.Text2->setText("2");
    p.Text3->setText("1");
    Reading[3] = 5.5;
    Reading[1] = 2;
    EXPECT_EQ(step(), "8.0");  // (5.5 - 2) x 2 + 1
    EXPECT_DOUBLE_EQ(Reading[11], 8);
    EXPECT_DOUBLE_EQ(scale.MathFullScale, 20);  // Int(2 x 8) to one digit
    EXPECT_EQ(p.LabY1[12]->text(), "24");
    EXPECT_EQ(store.plotY(kRow, 11), 3600);
    EXPECT_EQ(store.value(kRow, 11), 8);

    choose("CH1", "除", "CH3");
    p.Text2->setText("1");
    p.Text3->setText("0");
    EXPECT_EQ(step(), "0.3636");  // 2 / 5.5; the scale stays
    EXPECT_DOUBLE_EQ(scale.MathFullScale, 20);
}

// Each case skips the point: Text4, Reading(11) and the store keep what they
// had, and the next good point is computed again.
TEST_F(MathControlsTest, PointsWithoutAValueChangeNothing) {
    choose("CH1", "", "CH2");
    Reading = {0, 1, 0.5};
    EXPECT_EQ(step(), "0");  // no operator yet
    EXPECT_FALSE(scale.MathAutoScaled);
    EXPECT_EQ(store.value(kRow, 11), -1);
    p.Cbo2->setEditText("加");
    ASSERT_EQ(step(), "1.5");
    store.setValue(kRow, 11, -1);
    const auto skipped = [&](const char* what) {
        EXPECT_EQ(step(), "1.5") << what;
        EXPECT_EQ(Reading[11], 1.5) << what;
        EXPECT_EQ(store.value(kRow, 11), -1) << what;
    };
    p.ChkMath->setChecked(false);
    EXPECT_EQ(p.ChkMath->text(), "No Math");
    EXPECT_TRUE(p.FrameMath->isHidden());
    skipped("math off");
    p.ChkMath->setChecked(true);
    EXPECT_EQ(p.ChkMath->text(), "Math");

    Reading[2] = kOverloadReading;
    skipped("overload");
    Reading[2] = 0;
    p.Cbo2->setEditText("除");
    skipped("division by 0");
    Reading[2] = 1E-300;
    p.Text2->setText("1E300");
    skipped("no finite result");
    p.Text2->setText("1");

    // A cleared operand keeps its channel; a typed text names nothing.
    p.Cbo1[0]->setEditText("");
    p.Cbo2->setEditText("mod");
    Reading[2] = 0.5;
    EXPECT_EQ(step(), "2.0");
}

}  // namespace
}  // namespace tq
