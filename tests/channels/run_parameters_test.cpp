#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <vector>

#include "channel_window.h"

namespace tq {
namespace {

class RunParametersTest : public ::testing::Test, public test::ChannelWindow {
  protected:
    // Rows shown, by the row and its read-out together; -1 when they disagree.
    std::vector<int> shownRows() const {
        std::vector<int> rows;
        for (int i = 0; i < 10; ++i) {
            const bool row = !p.FrameCH[i]->isHidden();
            if (row != !p.Lab1f[i]->isHidden() || row != !p.TxtDshow[i]->isHidden()) {
                rows.push_back(-1);
            } else if (row) {
                rows.push_back(i + 1);
            }
        }
        return rows;
    }

    int panelTop() const { return twipsGeometry(p.FrameOther).top(); }
};

TEST_F(RunParametersTest, ChannelCountShowsWholeRowsWithinOneToTen) {
    p.TxtChNo->setText("3");
    EXPECT_EQ(shownRows(), std::vector<int>({1, 2, 3}));
    for (const char* ignored : {"12", "0", "", "-2", "x"}) {
        p.TxtChNo->setText(ignored);
        EXPECT_EQ(shownRows(), std::vector<int>({1, 2, 3})) << ignored;
    }
    p.TxtChNo->setText("2.5");
    EXPECT_EQ(shownRows(), std::vector<int>({1, 2}));
    p.TxtChNo->setText("10");
    EXPECT_EQ(shownRows().size(), 10U);
}

TEST_F(RunParametersTest, RecordLengthAboveTheLimitIsCutWithAMessage) {
    p.TxtRecordLen->setText("10000");
    EXPECT_TRUE(boxes.shown.empty());
    p.TxtRecordLen->setText("10001");
    ASSERT_EQ(boxes.shown.size(), 1U);
    EXPECT_EQ(boxes.shown[0].text, "記錄長度最高10000點!!");
    EXPECT_EQ(boxes.shown[0].title, defaultMessageTitle());
    EXPECT_EQ(boxes.shown[0].buttons, MessageBoxes::Buttons::Ok);
    EXPECT_EQ(p.TxtRecordLen->text(), "10000");
}

TEST_F(RunParametersTest, IntervalBelowTheFloorIsResetWithAFourSecondWarning) {
    p.TxtSleep->setText("");
    EXPECT_EQ(p.TxtSleep->text(), "0.01");
    EXPECT_EQ(p.Label4->text(), "間隔時間不可小於 0.01 Sec !!");
    EXPECT_FALSE(p.Frame8->isHidden());
    clock.advance(3999);
    EXPECT_FALSE(p.Frame8->isHidden());
    clock.advance(1);
    EXPECT_TRUE(p.Frame8->isHidden());
    EXPECT_FALSE(p.Timer1->isEnabled());

    // A second warning restarts the four seconds.
    p.TxtSleep->setText("0.001");
    clock.advance(3000);
    p.TxtSleep->setText("0");
    clock.advance(3000);
    EXPECT_FALSE(p.Frame8->isHidden());
    clock.advance(1000);
    EXPECT_TRUE(p.Frame8->isHidden());

    p.TxtSleep->setText("0.5");
    p.TxtSleep->setText("0.01");
    EXPECT_TRUE(p.Frame8->isHidden());
    EXPECT_FALSE(clock.hasPendingTimers());
}

TEST_F(RunParametersTest, ModeSwitchLaysOutRowsAndRebuildsRangeLists) {
    p.TxtChNo->setText("3");
    p.TxtChNo->setText("1");
    p.FrameCH[5]->show();  // a row above the count, shown by hand
    p.ChkScanMode->setChecked(true);
    EXPECT_EQ(items(p.CboRange[4]), QStringList({"100V", "10V", "1V", "100mV"}));
    EXPECT_EQ(shownRows(), std::vector<int>({1, -1}));  // CH6 left as it was
    EXPECT_FALSE(p.TxtScanTimer->isHidden());

    p.TxtChNo->setText("3");
    pick(p.CboRange[0], "1V");
    p.ChkScanMode->setChecked(false);
    EXPECT_EQ(shownRows(), std::vector<int>({1}));
    EXPECT_TRUE(p.Label2[5]->isHidden());
    EXPECT_TRUE(p.TxtScanTimer->isHidden());
    EXPECT_TRUE(p.ChkMath->isHidden());
    EXPECT_TRUE(p.FrameMath->isHidden());
    EXPECT_EQ(items(p.CboRange[0]).size(), 6);
    // CH1 takes the range of CH2, the first other DCV row, before its own
    // rebuild; then every DCV row follows CH1.
    EXPECT_EQ(p.CboRange[0]->currentText(), "1V");
    EXPECT_EQ(p.CboRange[9]->currentText(), "1V");

    p.ChkScanMode->setChecked(true);
    EXPECT_EQ(shownRows(), std::vector<int>({1, 2, 3}));
    EXPECT_FALSE(p.FrameMath->isHidden());
}

TEST_F(RunParametersTest, WithoutACardTheSwitchLocksAndRowsKeepMainUnitLists) {
    ScanCardPresent = 0;
    parameters.ChkScanMode_Click();
    EXPECT_FALSE(p.ChkScanMode->isEnabled());
    EXPECT_FALSE(p.ChkScanMode->isChecked());
    EXPECT_EQ(items(p.CboRange[0]), QStringList({"AUTO", "1000V", "100V", "10V", "1V", "100mV"}));
}

TEST_F(RunParametersTest, PanelSlidesDownAndUpInThirtyTwipSteps) {
    std::vector<int> tops;
    int clickAt = 10;
    clock.setYieldHook([&] {
        tops.push_back(panelTop());
        if (static_cast<int>(tops.size()) == clickAt) {
            p.CmdOther->click();  // ignored while sliding
        }
    });
    p.CmdOther->click();
    ASSERT_EQ(tops.size(), 103U);
    EXPECT_EQ(tops.front(), -3060);
    EXPECT_EQ(tops[1], -3030);
    EXPECT_EQ(panelTop(), 0);

    tops.clear();
    clickAt = -1;
    p.CmdOther->click();
    ASSERT_EQ(tops.size(), 103U);
    EXPECT_EQ(tops[1], -30);
    EXPECT_EQ(panelTop(), -3060);
    EXPECT_EQ(twipsGeometry(p.FrameOther).left(), 8820);
}

}  // namespace
}  // namespace tq
