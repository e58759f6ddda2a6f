#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>

#include "analysis_view/analysis_window.h"
#include "analysis_view/lane_plot.h"
#include "app/script_rig.h"

namespace tq::test {
namespace {

// A run on the simulated meter reaches the Analysis window point by point,
// whether or not the window is open; the status line's button and Ctrl+L
// open it.
TEST(AnalysisLive, ARunOfTheWindowIsFollowedAndTheWindowOpens) {
    ScriptRig rig;
    AnalysisWindow& analysis = rig.form.analysis();
    EXPECT_FALSE(analysis.isVisible());
    QTest::keyClick(&rig.form, Qt::Key_L, Qt::ControlModifier);
    EXPECT_TRUE(analysis.isVisible());
    analysis.hide();
    rig.form.findChild<QPushButton*>(QStringLiteral("statusAnalysis"))->click();
    EXPECT_TRUE(analysis.isVisible());

    ASSERT_EQ(rig.run("type TxtChNo 3\ntype TxtRecordLen 40\nclick Command1\nwait-run\nexit\n"), 0)
        << rig.failure();
    const RunModel& model = analysis.model();
    ASSERT_EQ(model.traces().size(), 3u);
    EXPECT_EQ(model.traces()[2].name, "CH3");
    EXPECT_EQ(model.traces()[0].unit, "V");
    ASSERT_EQ(model.points().size(), 40u);
    EXPECT_TRUE(model.points().back().seconds.has_value());
    EXPECT_EQ(analysis.plot().axisRectCount(), 3);
    EXPECT_EQ(analysis.plot().graph(0)->dataCount(), 40);
}

}  // namespace
}  // namespace tq::test
