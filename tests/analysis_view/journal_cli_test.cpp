#include <gtest/gtest.h>

#include <QDateTime>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <cmath>
#include <map>

#include "common/virtual_clock.h"
#include "journal/journal_writer.h"

namespace tq {
namespace {

struct ProcessResult {
    int exitCode = -1;
    QString out;
    QString err;
};

// The program as a script runs it: no display at all unless asked for.
ProcessResult runTq4700(const QStringList& args, bool offscreen = false) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
        env.remove(name);
    }
    if (offscreen) {
        env.insert("QT_QPA_PLATFORM", "offscreen");
    }
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(TQ4700_EXE), args);
    if (!process.waitForFinished(60000)) {
        process.kill();
        return {};
    }
    return {.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            .out = QString::fromUtf8(process.readAllStandardOutput()),
            .err = QString::fromUtf8(process.readAllStandardError())};
}

RunChannelSetup row(int channel, const char* function) {
    RunChannelSetup setup;
    setup.channel = channel;
    setup.function = function;
    setup.rangeText = "10V";
    setup.filter = "20Hz";
    return setup;
}

// 60 points at 0.25 s: CH1 a ramp with no reading on every 5th point, CH2
// overloading on every 7th, math CH1 - CH2 where both have readings.
std::vector<StoredPoint> runPoints() {
    std::vector<StoredPoint> points;
    for (int k = 1; k <= 60; ++k) {
        StoredPoint p;
        p.point = k;
        p.seconds = (k - 1) * 0.25;
        if (k % 5 != 0) {
            p.values[1] = 0.1 * k - 2;
        }
        p.values[2] = k % 7 == 0 ? 9.9E+37 : std::sin(k * 0.3);
        if (p.values[1] && k % 7 != 0) {
            p.values[11] = *p.values[1] - *p.values[2];
        }
        points.push_back(p);
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
    setup.channels = {row(1, "DCV"), row(2, "ACV")};
    setup.mathFormula = "CH1-CH2";
    writer.runStarted(setup);
    for (const StoredPoint& p : runPoints()) {
        writer.pointStored(p);
        clock.pause(250);
    }
    writer.runEnded(RunEnd::Completed, 60);
    return path;
}

// The figures of column `column` over points with from <= time <= to,
// worked out plainly (two passes) for comparison.
std::vector<double> expectedRow(int column, double from, double to, int pointsKept = 60) {
    std::vector<double> readings;
    int missing = 0;
    int overloads = 0;
    for (const StoredPoint& p : runPoints()) {
        if (p.point > pointsKept || *p.seconds < from || *p.seconds > to) {
            continue;
        }
        const auto& v = p.values[static_cast<std::size_t>(column)];
        if (!v) {
            ++missing;
        } else if (*v == 9.9E+37) {
            ++overloads;
        } else {
            readings.push_back(*v);
        }
    }
    const double n = static_cast<double>(readings.size());
    double sum = 0;
    double squares = 0;
    for (double r : readings) {
        sum += r;
        squares += r * r;
    }
    const double mean = sum / n;
    double deviations = 0;
    for (double r : readings) {
        deviations += (r - mean) * (r - mean);
    }
    const auto [low, high] = std::minmax_element(readings.begin(), readings.end());
    return {n,
            double(missing),
            double(overloads),
            *low,
            *high,
            mean,
            std::sqrt(deviations / (n - 1)),
            std::sqrt(squares / n),
            *high - *low};
}

std::map<QString, std::vector<double>> parseStats(const QString& csv) {
    std::map<QString, std::vector<double>> rows;
    const QStringList lines = csv.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    EXPECT_EQ(lines.value(0),
              QStringLiteral("trace,count,missing,overloads,min,max,mean,std,rms,p2p"));
    for (const QString& line : lines.mid(1)) {
        const QStringList fields = line.split(QLatin1Char(','));
        EXPECT_EQ(fields.size(), 10) << line.toStdString();
        std::vector<double> values;
        for (const QString& field : fields.mid(1)) {
            values.push_back(field.toDouble());
        }
        rows[fields.value(0)] = values;
    }
    return rows;
}

void expectRow(const std::vector<double>& got, const std::vector<double>& want, const char* what) {
    ASSERT_EQ(got.size(), want.size()) << what;
    for (std::size_t i = 0; i < want.size(); ++i) {
        EXPECT_NEAR(got[i], want[i], 1e-9 * std::max(1.0, std::abs(want[i])))
            << what << " col " << i;
    }
}

TEST(JournalView, StatsBetweenTwoTimesMatchTheReadingsOfTheJournal) {
    QTemporaryDir dir;
    const QString journal = writeJournal(dir.path());
    ASSERT_FALSE(journal.isEmpty());

    const ProcessResult r = runTq4700({QStringLiteral("--view"), journal, QStringLiteral("--stats"),
                                       QStringLiteral("2"), QStringLiteral("10.5")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
    const auto rows = parseStats(r.out);
    ASSERT_EQ(rows.size(), 3u);
    expectRow(rows.at("CH1"), expectedRow(1, 2, 10.5), "CH1");
    expectRow(rows.at("CH2"), expectedRow(2, 2, 10.5), "CH2");
    expectRow(rows.at("math"), expectedRow(11, 2, 10.5), "math");

    // Reversed bounds are the same span; --stats wants two numbers and --view.
    EXPECT_EQ(runTq4700({QStringLiteral("--view"), journal, QStringLiteral("--stats"),
                         QStringLiteral("10.5"), QStringLiteral("2")})
                  .out,
              r.out);
    EXPECT_EQ(runTq4700({QStringLiteral("--view"), journal, QStringLiteral("--stats"),
                         QStringLiteral("2")},
                        true)
                  .exitCode,
              2);
    EXPECT_EQ(runTq4700({QStringLiteral("--stats"), QStringLiteral("0"), QStringLiteral("1")}, true)
                  .exitCode,
              2);
    const ProcessResult missing =
        runTq4700({QStringLiteral("--view"), dir.path() + "/none.csv", QStringLiteral("--stats"),
                   QStringLiteral("0"), QStringLiteral("1")});
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

    const ProcessResult r = runTq4700({QStringLiteral("--view"), journal, QStringLiteral("--stats"),
                                       QStringLiteral("0"), QStringLiteral("100")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_FALSE(r.err.isEmpty());
    const auto rows = parseStats(r.out);
    expectRow(rows.at("CH1"), expectedRow(1, 0, 100, 40), "CH1");

    const QString picture = dir.path() + QStringLiteral("/view.png");
    const ProcessResult shot = runTq4700(
        {QStringLiteral("--view"), journal, QStringLiteral("--screenshot"), picture}, true);
    ASSERT_EQ(shot.exitCode, 0) << shot.err.toStdString();
    const QImage image(picture);
    EXPECT_GE(image.width(), 800);
    QFile::copy(picture, QStringLiteral(TQ_BINARY_DIR "/analysis_view_damaged.png"));
}

}  // namespace
}  // namespace tq
