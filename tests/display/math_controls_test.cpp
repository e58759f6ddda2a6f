#include "display/math_controls.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include "common/virtual_clock.h"
#include "panel/panel.h"
#include "panel/widget_app.h"
#include "rules/reading.h"
#include "rules/scale.h"
#include "store/record_store.h"

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
    // Channel ch brought v for this point.
    void read(int ch, double v) {
        Reading[static_cast<std::size_t>(ch)] = v;
        store.setValue(kRow, ch, v);
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
    read(3, 5.5);
    read(1, 2);
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

    // Beyond the 32-bit twips: the value is kept, drawn on the edge it
    // lies beyond.
    p.Text2->setText("1E300");
    step();
    EXPECT_EQ(store.value(kRow, 11), 2 / 5.5 * 1E300);
    EXPECT_EQ(store.plotY(kRow, 11), 0);
    p.Text2->setText("-1E300");
    step();
    EXPECT_EQ(store.plotY(kRow, 11), 5400);
}

// Each case skips the point: Text4 and Reading(11) keep what they had, the
// point's math cell is not written (a run has emptied it), and the next good
// point is computed again.
TEST_F(MathControlsTest, PointsWithoutAValueChangeNothing) {
    choose("CH1", "", "CH2");
    read(1, 1);
    read(2, 0.5);
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

    // The latest reading of CH2 is 0.5, but this point brought none.
    store.setValue(kRow, 2, RecordStore::kNoReading);
    skipped("operand not read");
    read(2, kOverloadReading);
    skipped("overload");
    read(2, 0);
    p.Cbo2->setEditText("除");
    skipped("division by 0");
    read(2, 1E-300);
    p.Text2->setText("1E300");
    skipped("no finite result");
    p.Text2->setText("1");

    // A cleared operand keeps its channel; a typed text names nothing.
    p.Cbo1[0]->setEditText("");
    p.Cbo2->setEditText("mod");
    read(2, 0.5);
    EXPECT_EQ(step(), "2.0");
}

}  // namespace
}  // namespace tq
