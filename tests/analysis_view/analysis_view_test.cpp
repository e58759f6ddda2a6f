#include "analysis_view/analysis_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QTableWidget>
#include <QTemporaryDir>
#include <cmath>

#include "analysis/trace_stats.h"
#include "analysis_view/lane_plot.h"
#include "panel/widget_app.h"
#include "support/journal_fixtures.h"

namespace tq {
namespace {

using test::channelRow;

// 200 points at 0.5 s: CH1 a ±3 V sine with no readings for points 80..99
// and overloads at 150..152; CH4 about 10 kHz; math = CH1 - 1.
JournalRun journal() {
    JournalRun run = test::journalRun({channelRow(1, "DCV"), channelRow(4, "Frequency")}, true);
    for (int i = 0; i < 200; ++i) {
        const double ch1 = (i >= 150 && i <= 152) ? 9.9E+37 : 3 * std::sin(i * 0.05);
        const bool gap = i >= 80 && i < 100;
        run.points.push_back(test::storedPoint(i + 1, i * 0.5,
                                               {{1, gap ? std::nullopt : std::optional(ch1)},
                                                {11, gap ? std::nullopt : std::optional(ch1 - 1)},
                                                {4, 10000 + 5 * std::cos(i * 0.1)}}));
    }
    return run;
}

QString cell(QTableWidget* table, int row, int column) {
    return table->item(row, column)->text();
}

// Whether the lane rectangle `rect` of `image` holds a pixel near `colour`
// in the columns [left, right].
bool holdsColour(const QImage& image, const QRect& rect, int left, int right, QColor colour) {
    for (int x = std::max(left, rect.left()); x <= std::min(right, rect.right()); ++x) {
        for (int y = rect.top(); y <= rect.bottom(); ++y) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - colour.red()) + std::abs(c.green() - colour.green()) +
                    std::abs(c.blue() - colour.blue()) <
                60) {
                return true;
            }
        }
    }
    return false;
}

TEST(AnalysisWindow, LanesShowEveryTraceWithGapsOverloadsAndCursorReadouts) {
    test::widgetApp();
    AnalysisWindow window;
    window.showJournal(journal(), QStringLiteral("run.csv"));
    window.show();
    QApplication::processEvents();

    LanePlot& plot = window.plot();
    ASSERT_EQ(plot.axisRectCount(), 3);
    EXPECT_EQ(plot.axisRect(0)->axis(QCPAxis::atLeft)->label(), QStringLiteral("CH1 (V)"));
    EXPECT_EQ(plot.axisRect(1)->axis(QCPAxis::atLeft)->label(), QStringLiteral("CH4 (Hz)"));
    // Each lane on its own scale: the sine below zero, the frequency near 10 kHz.
    EXPECT_LT(plot.axisRect(0)->axis(QCPAxis::atLeft)->range().lower, -2.9);
    EXPECT_GT(plot.axisRect(1)->axis(QCPAxis::atLeft)->range().lower, 9990);

    window.plot().setCursors(10, 60);
    QApplication::processEvents();
    const QImage image = plot.toPixmap().toImage();
    image.save(QStringLiteral(TQ_BINARY_DIR "/analysis_view_test.png"));

    const QRect ch1 = plot.axisRect(0)->rect();
    QCPAxis* x = plot.axisRect(0)->axis(QCPAxis::atBottom);
    const auto px = [x](double seconds) { return qRound(x->coordToPixel(seconds)); };
    for (int lane = 0; lane < 3; ++lane) {
        EXPECT_TRUE(holdsColour(image, plot.axisRect(lane)->rect(), px(0), px(39),
                                LanePlot::traceColour(lane)))
            << "lane " << lane;
    }
    // No CH1 line while its readings are missing (40 s .. 49.5 s), a line
    // again after, and overload markers where it overloads (75 s .. 76 s).
    EXPECT_FALSE(holdsColour(image, ch1, px(40.5), px(49), LanePlot::traceColour(0)));
    EXPECT_TRUE(holdsColour(image, ch1, px(51), px(60), LanePlot::traceColour(0)));
    EXPECT_TRUE(holdsColour(image, ch1, px(75) - 3, px(76) + 3, Qt::red));
    EXPECT_FALSE(holdsColour(image, ch1, px(20) - 3, px(30) + 3, Qt::red));

    auto* cursors = window.findChild<QLabel*>(QStringLiteral("analysisCursors"));
    EXPECT_EQ(cursors->text(), QStringLiteral("A: 10 s    B: 60 s    Δt: 50 s"));
    auto* table = window.findChild<QTableWidget*>(QStringLiteral("analysisStats"));
    ASSERT_EQ(table->rowCount(), 3);
    EXPECT_EQ(cell(table, 0, 0), QStringLiteral("CH1 (V)"));
    EXPECT_EQ(cell(table, 0, 1), QString::number(3 * std::sin(20 * 0.05), 'g', 6));
    // Points 21..121 lie between the cursors; 80..99 (0-based) are missing.
    EXPECT_EQ(cell(table, 0, 3), QStringLiteral("81"));
    EXPECT_EQ(cell(table, 0, 4), QStringLiteral("20"));
    EXPECT_EQ(cell(table, 2, 0), QStringLiteral("math"));
    window.plot().setCursors(75.5, 90);
    EXPECT_EQ(cell(table, 0, 1), QStringLiteral("overload"));
    EXPECT_EQ(cell(table, 0, 5), QStringLiteral("2"));

    window.setTraceShown(1, false);
    EXPECT_EQ(plot.axisRectCount(), 2);
    window.setXAxis(XAxis::PointNumber);
    EXPECT_EQ(plot.xRange().lower < 1 && plot.xRange().upper > 200, true);
}

// A line needs two readings side by side: a reading between gaps, or at the
// end after one, is drawn as a dot of its own; a gap stays empty.
TEST(AnalysisWindow, AReadingBetweenGapsIsStillSeen) {
    test::widgetApp();
    JournalRun run = test::journalRun({channelRow(1, "DCV")}, false);
    for (int k = 1; k <= 12; ++k) {
        const bool read = k <= 3 || k == 6 || k == 8 || k == 9 || k == 12;
        run.points.push_back(
            test::storedPoint(k, k, {{1, read ? std::optional(0.1 * k) : std::nullopt}}));
    }
    AnalysisWindow window;
    window.showJournal(run, QStringLiteral("run.csv"));
    window.show();
    QApplication::processEvents();
    LanePlot& plot = window.plot();
    const QImage image = plot.toPixmap().toImage();
    const QRect lane = plot.axisRect(0)->rect();
    QCPAxis* x = plot.axisRect(0)->axis(QCPAxis::atBottom);
    const auto seen = [&](double from, double to) {
        return holdsColour(image, lane, qRound(x->coordToPixel(from)), qRound(x->coordToPixel(to)),
                           LanePlot::traceColour(0));
    };
    EXPECT_TRUE(seen(5.9, 6.1));
    EXPECT_TRUE(seen(11.9, 12.1));
    EXPECT_FALSE(seen(4.2, 5.7));
    EXPECT_FALSE(seen(10.2, 11.7));
}

TEST(AnalysisWindow, ExportsTheImageAndTheFiguresAndNamesWhatCouldNotBeRead) {
    test::widgetApp();
    AnalysisWindow window;
    JournalRun run = journal();
    run.points.resize(120);
    run.problems = {"line 131: the row ends after 2 of 4 fields"};
    window.showJournal(run, QStringLiteral("cut.csv"));
    auto* problems = window.findChild<QLabel*>(QStringLiteral("analysisProblems"));
    EXPECT_FALSE(problems->isHidden());
    EXPECT_TRUE(problems->text().contains(QStringLiteral("line 131")));
    EXPECT_EQ(window.model().points().size(), 120u);

    QTemporaryDir dir;
    QString error;
    for (const char* name : {"/view.png", "/view.svg", "/stats.csv"}) {
        const QString path = dir.path() + QLatin1String(name);
        const bool saved = path.endsWith(QLatin1String(".csv")) ? window.saveStatsCsv(path, &error)
                                                                : window.saveImage(path, &error);
        EXPECT_TRUE(saved) << name << " " << error.toStdString();
    }
    QFile csv(dir.path() + QStringLiteral("/stats.csv"));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const auto [a, b] = window.plot().cursors();
    EXPECT_EQ(csv.readAll().toStdString(), statsCsv(window.model(), a, b, XAxis::Seconds));
    QFile svg(dir.path() + QStringLiteral("/view.svg"));
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    EXPECT_TRUE(svg.readAll().contains("<svg"));
    EXPECT_FALSE(window.saveImage(dir.path() + QStringLiteral("/view.gif"), &error));
    EXPECT_FALSE(window.saveImage(QStringLiteral("/nonexistent/dir/view.png"), &error));
}

TEST(AnalysisWindow, FollowsALiveRunPointByPoint) {
    test::widgetApp();
    AnalysisWindow window;
    RunSetup setup;
    setup.channels = {channelRow(2, "ACV"), channelRow(3, "4WR")};
    RunObserver& follower = window.follower();
    follower.runStarted(setup);
    for (int i = 1; i <= 500; ++i) {
        follower.pointStored(test::storedPoint(
            i, i * 0.1, {{2, i}, {3, i % 7 == 0 ? std::nullopt : std::optional(1000.0 + i)}}));
    }
    follower.runEnded(RunEnd::Completed, 500);
    ASSERT_EQ(window.plot().axisRectCount(), 2);
    EXPECT_EQ(window.plot().graph(0)->dataCount(), 500);
    EXPECT_GE(window.plot().xRange().upper, 50.0);
    auto* table = window.findChild<QTableWidget*>(QStringLiteral("analysisStats"));
    EXPECT_EQ(cell(table, 1, 0), QStringLiteral("CH3 (Ω)"));
    // The cursors span the whole run until the user moves them.
    EXPECT_EQ(cell(table, 0, 3), QStringLiteral("500"));
    EXPECT_EQ(cell(table, 1, 4), QString::number(500 / 7));
}

}  // namespace
}  // namespace tq
