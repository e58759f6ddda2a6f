#include "display/math_controls.h"

#include <gtest/gtest.h>

#include <QCheckBox>

#include "panel/panel.h"
#include "panel/widget_app.h"

namespace tq {
namespace {

TEST(MathControls, TheSwitchNamesItselfAndShowsTheRow) {
    QApplication& app = test::widgetApp();
    (void)app;
    QWidget form;
    Panel p;
    buildPanel(&form, p);
    MathControls math(p);
    math.connectEvents();
    p.ChkMath->setChecked(false);
    EXPECT_EQ(p.ChkMath->text(), "No Math");
    EXPECT_TRUE(p.FrameMath->isHidden());
    p.ChkMath->setChecked(true);
    EXPECT_EQ(p.ChkMath->text(), "Math");
    EXPECT_FALSE(p.FrameMath->isHidden());
}

}  // namespace
}  // namespace tq
