// The status line following runs of the window: progress, time left and
// pace against the simulated meter's own timing, and a connection lost
// mid-run that Reconnect brings back once tq4700-sim is restarted.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <memory>
#include <string>

#include "app/form1.h"
#include "app_fakes.h"
#include "link_rigs.h"
#include "run/run_driver.h"
#include "status/status_line.h"
#include "store/record_store.h"

namespace tq {
namespace {

using test::AppRig;

std::string text(const Label* label) {
    return label->text().toStdString();
}

// Seconds of a "0.69 s" in text after prefix.
double secondsAfter(const QString& text, const QString& prefix) {
    const QRegularExpression number(QRegularExpression::escape(prefix) + "([0-9.]+) s");
    const QRegularExpressionMatch match = number.match(text);
    return match.hasMatch() ? match.captured(1).toDouble() : -1;
}

// A run of 3 channels at a 0.5 s interval on the simulated meter: mid-run
// the line shows the point, the time gone and the time left as the pace so
// far gives it; after the run its mean period is what the store's times
// say a point took, never less than the interval.
TEST(StatusRun, ProgressTimeLeftAndPaceFollowTheMetersTiming) {
    AppRig rig(AppRig::simulated());
    rig.form->runStartUp();
    Panel& p = rig.p();
    StatusLine& line = rig.form->statusLine();
    p.TxtChNo->setText("3");
    p.TxtSleep->setText("0.5");
    p.TxtRecordLen->setText("40");

    QString midRun;
    QString midPace;
    rig.clock.startTimer(10000, [&] {
        midRun = line.statusRun->text();
        midPace = line.statusPace->text();
    });
    rig.form->runDriver().Command1_Click();

    const QRegularExpressionMatch progress =
        QRegularExpression("^Point (\\d+) / 40 · 0:(\\d\\d) elapsed · 0:(\\d\\d) left$")
            .match(midRun);
    ASSERT_TRUE(progress.hasMatch()) << midRun.toStdString();
    const int k = progress.captured(1).toInt();
    const double mean = secondsAfter(midPace, "per point ");
    EXPECT_GT(k, 5);
    EXPECT_NEAR(progress.captured(2).toInt(), 10, 1);
    // The points still to come at the pace so far, less the point in hand.
    EXPECT_NEAR(progress.captured(3).toInt(), (40 - k) * mean, mean + 1);

    const RecordStore& store = rig.form->store();
    ASSERT_EQ(store.pointsTaken(), 40);
    EXPECT_EQ(text(line.statusRun).substr(0, 22), "Completed: 40 points i");
    const QString pace = line.statusPace->text();
    const double after = secondsAfter(pace, "per point ");
    const double slowest = secondsAfter(pace, "max ");
    EXPECT_TRUE(pace.startsWith("Interval 0.50 s · per point ")) << pace.toStdString();
    EXPECT_GE(after, 0.5);
    EXPECT_GE(slowest, after);
    // The store times points from the run's clock; 40 points take 39
    // periods after the first.
    const double storeMean = (*store.time(10040) - *store.time(10001)) / 39;
    EXPECT_NEAR(after, storeMean, 0.02) << pace.toStdString();
    EXPECT_EQ(text(line.statusMissing), "Missing 0");
    EXPECT_FALSE(line.statusReconnect->isVisible());
}

// tq4700-sim goes away mid-run: the run ends saying the connection was
// lost, the line offers Reconnect, and once the simulator is up again
// Reconnect finds it while the record of the run stays.
TEST(StatusRun, ALostConnectionIsReconnectedWithoutLosingTheRun) {
    test::SocketRig rig;
    ASSERT_TRUE(rig.meter.start());
    const std::unique_ptr<Form1>& form = rig.form;
    form->runStartUp();
    StatusLine& line = rig.line();
    ASSERT_EQ(text(line.statusLink), "Connected: TQ4700 TW00000001");

    form->panel().TxtChNo->setText("2");
    form->panel().TxtRecordLen->setText("500");
    const std::int64_t start = rig.clock.tickMs();
    rig.clock.startTimer(3000, [&] { rig.meter.stop(); });
    ::testing::internal::CaptureStderr();
    form->runDriver().Command1_Click();
    ::testing::internal::GetCapturedStderr();

    const std::int32_t taken = form->store().pointsTaken();
    EXPECT_GT(taken, 0);
    EXPECT_LT(taken, 500);
    EXPECT_EQ(text(line.statusRun), "Connection lost at point " + std::to_string(taken) + " / 500");
    EXPECT_TRUE(text(line.statusLink).starts_with("Link lost (VI_ERROR_")) << text(line.statusLink);
    EXPECT_FALSE(line.statusReconnect->isHidden());
    EXPECT_LT(rig.clock.tickMs() - start, 60000);

    ASSERT_TRUE(rig.meter.start());
    line.statusReconnect->click();
    EXPECT_EQ(text(line.statusLink), "Connected: TQ4700 TW00000001");
    EXPECT_TRUE(line.statusReconnect->isHidden());
    EXPECT_EQ(form->store().pointsTaken(), taken);
    EXPECT_TRUE(form->panel().ComSaveFrame->isEnabled());
    // The run's outcome stays until the next Start.
    EXPECT_EQ(text(line.statusRun), "Connection lost at point " + std::to_string(taken) + " / 500");
}

}  // namespace
}  // namespace tq
