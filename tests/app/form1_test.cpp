#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>
#include <memory>

#include "app_fakes.h"

namespace tq {
namespace {

class Form1Test : public ::testing::Test {
  protected:
    void SetUp() override {
        form = rig.form.get();
        form->runStartUp();
        form->setAttribute(Qt::WA_DontShowOnScreen);
        form->show();
    }

    void click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(2, 2)); }

    test::AppRig rig{test::AppRig::simulated()};
    Form1* form = nullptr;
};

TEST_F(Form1Test, WindowHasItsCaptionSizeAndColour) {
    Panel& p = form->panel();
    EXPECT_EQ(form->objectName(), "Form1");
    EXPECT_EQ(form->windowTitle(), "TQ4700 Scan  Mrasure Software V1.01 (Firmware 2.0x)");
    // 15240 x 9570 twips, and the status line below them.
    EXPECT_EQ(form->size(), QSize(1016, 638 + 26));
    EXPECT_EQ(form->minimumSize(), form->maximumSize());
    EXPECT_EQ(form->grab().toImage().pixelColor(150, 5), QColor(0, 0, 64));
    EXPECT_EQ(p.Form1, form);
}

TEST_F(Form1Test, ClickingTheMessageFrameOrItsTextHidesIt) {
    Panel& p = form->panel();
    p.FrameMsg->show();
    click(p.FrameMsg);
    EXPECT_TRUE(p.FrameMsg->isHidden());

    p.FrameMsg->show();
    p.LabMsg->setText("VARANDEL,TQ4700 Initial Fail !");
    click(p.LabMsg);
    EXPECT_TRUE(p.FrameMsg->isHidden());
    EXPECT_EQ(p.LabMsg->text(), "VARANDEL,TQ4700 Initial Fail !");
}

// Label3 opens Frame6, whose LabF7 opens Frame7; Frame7 lies beside Frame6
// and stays open when Frame6 closes.
TEST_F(Form1Test, ServicePanelsOpenInAChainAndCloseOneByOne) {
    Panel& p = form->panel();
    ASSERT_TRUE(p.Frame6->isHidden());
    ASSERT_TRUE(p.Frame7->isHidden());
    click(p.Label3);
    EXPECT_FALSE(p.Frame6->isHidden());
    click(p.Label3);
    EXPECT_TRUE(p.Frame6->isHidden());

    click(p.Label3);
    click(p.LabF7);
    EXPECT_FALSE(p.Frame7->isHidden());
    click(p.Label3);
    EXPECT_TRUE(p.Frame6->isHidden());
    EXPECT_TRUE(p.Frame7->isVisible());
    click(p.Label3);
    click(p.LabF7);
    EXPECT_TRUE(p.Frame7->isHidden());
    EXPECT_FALSE(p.Frame6->isHidden());
    EXPECT_TRUE(p.Frame2->isHidden());
}

}  // namespace
}  // namespace tq
