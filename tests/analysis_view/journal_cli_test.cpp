#include <gtest/gtest.h>

#include <QDateTime>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <cmath>

#include "analysis/trace_stats.h"

#include "common/virtual_clock.h"
#include "journal/journal_writer.h"
#include "support/journal_fixtures.h"
#include "support/program_run.h"

namespace tq {
namespace {

using test::Display;
using test::ProgramRun;

// The program as a script runs it: no display at all unless asked for.
ProgramRun tq4700(const QStringList& args, Display display = Display::None) {
    return test::runTq4700(args, {}, display);
}

// 60 points at 0.25 s: CH1 a ramp with no reading on every 5th point, CH2
// overloading on every 7th, math CH1 - CH2 where both have readings.
std::vector<StoredPoint> runPoints() {
    std::vector<StoredPoint> points;
    for (int k = 1; k <= 60; ++k) {
        const auto ch1 = k % 5 != 0 ? std::optional(0.1 * k - 2) : std::nullopt;
        const double ch2 = k % 7 == 0 ? 9.9E+37 : std::sin(k * 0.3);
        const auto math = ch1 && k % 7 != 0 ? std::optional(*ch1 - ch2) : std::nullopt;
        points.push_back(test::storedPoint(k, (k - 1) * 0.25, {{1, ch1}, {2, ch2}, {11, math}}));
    }
    return points;
}

QString writeJournal(const QString& root) {
    VirtualClock clock;
    QString path;
    JournalWriter writer(clock, {.root = root,
                                 .program = "tq4700 test",
                                 .now = [] { return QDateTime(QDate(2026, 12, 6), QTime(9, 0)); },
                                 .rowFunctions = {},
                                 .opened = [&path](const QString& opened) { path = opened; },
                                 .failed = {}});
    RunSetup setup;
    setup.serial = "TW00000001";
    setup.channels = {test::channelRow(1, "DCV"), test::channelRow(2, "ACV")};
    setup.mathFormula = "CH1-CH2";
    writer.runStarted(setup);
    for (const StoredPoint& p : runPoints()) {
        writer.pointStored(p);
        clock.pause(250);
    }
    writer.runEnded(RunEnd::Completed, 60);
    return path;
}

// The figures of the points written, from the points themselves rather
// than the journal (the figures' own arithmetic is checked in the analysis
// core's tests).
std::string expectedStats(double from, double to, std::size_t pointsKept = 60) {
    std::vector<StoredPoint> points = runPoints();
    points.resize(pointsKept);
    const JournalRun run = test::journalRun(
        {test::channelRow(1, "DCV"), test::channelRow(2, "ACV")}, true, std::move(points));
    return statsCsv(RunModel::fromJournal(run), from, to, XAxis::Seconds);
}

TEST(JournalView, StatsBetweenTwoTimesMatchTheReadingsOfTheJournal) {
    QTemporaryDir dir;
    const QString journal = writeJournal(dir.path());
    ASSERT_FALSE(journal.isEmpty());

    const ProgramRun r = tq4700({"--view", journal, "--stats", "2", "10.5"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
    EXPECT_EQ(r.out.toStdString(), expectedStats(2, 10.5));

    // Reversed bounds are the same span; --stats wants two numbers and --view.
    EXPECT_EQ(tq4700({"--view", journal, "--stats", "10.5", "2"}).out, r.out);
    EXPECT_EQ(tq4700({"--view", journal, "--stats", "2"}, Display::Offscreen).exitCode, 2);
    EXPECT_EQ(tq4700({"--stats", "0", "1"}, Display::Offscreen).exitCode, 2);
    const ProgramRun missing = tq4700({"--view", dir.path() + "/none.csv", "--stats", "0", "1"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.err.contains(QStringLiteral("none.csv"))) << missing.err.toStdString();
}

// A journal cut short in the middle of a row, with a row that is not one:
// the whole rows before are shown and counted, and what was lost is said.
TEST(JournalView, ADamagedJournalShowsWhatCanBeReadAndSaysWhatCouldNot) {
    QTemporaryDir dir;
    const QString journal = writeJournal(dir.path());
    QFile file(journal);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QByteArray text = file.readAll();
    file.close();
    // Keep the rows of points 1..40, then a broken row and half of point 41's.
    const qsizetype row41 = text.indexOf("\n41,") + 1;
    const qsizetype row42 = text.indexOf("\n42,") + 1;
    ASSERT_GT(row41, 0);
    const QByteArray half = text.mid(row41, (row42 - row41) / 2);
    text = text.left(row41) + "not,a,row\n" + half;
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
    file.close();

    const ProgramRun r = tq4700({"--view", journal, "--stats", "0", "100"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_FALSE(r.err.isEmpty());
    EXPECT_EQ(r.out.toStdString(), expectedStats(0, 100, 40));

    const QString picture = dir.path() + QStringLiteral("/view.png");
    const ProgramRun shot =
        tq4700({"--view", journal, "--screenshot", picture}, Display::Offscreen);
    ASSERT_EQ(shot.exitCode, 0) << shot.err.toStdString();
    const QImage image(picture);
    EXPECT_GE(image.width(), 800);
    QFile::copy(picture, QStringLiteral(TQ_BINARY_DIR "/analysis_view_damaged.png"));
}

}  // namespace
}  // namespace tq
