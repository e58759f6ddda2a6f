// The journal written as a run goes and read back: every value bit for bit,
// the set-up of both modes, a file cut anywhere, a disk that refuses it.
#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <random>
#include <regex>
#include <tuple>

#include <sys/resource.h>

#include "common/virtual_clock.h"
#include "journal/journal_reader.h"
#include "journal/journal_writer.h"

namespace tq {
namespace {

namespace fs = std::filesystem;

RunSetup scanCardSetup() {
    RunSetup s;
    s.mode = RunMode::ScanCard;
    s.resource = "USB0::0x3A6D::0x0E31::TW00000001::INSTR";
    s.identity = "VARANDEL,TQ4700,TW00000001,2.01";
    s.serial = "TW00000001";
    s.channels = {
        {.channel = 1, .function = "DCV", .rangeText = "10V", .rangeValue = 10, .filter = ""},
        {.channel = 3, .function = "ACV", .rangeText = "AUTO", .rangeValue = {}, .filter = "20Hz"},
        {.channel = 10, .function = "Frequency", .rangeText = "1V", .rangeValue = 1, .filter = ""},
    };
    s.band = 1;
    s.triggerDelay = "0";
    s.scanTime = "0.1";
    s.interval = "0.5";
    s.recordLength = 5000;
    s.pointsPerScreen = 200;
    s.mathFormula = "(CH1-CH3)*1+0";
    return s;
}

// Point k as a run stores it: odd doubles, overloads, missing readings.
StoredPoint pointOf(std::int32_t k, std::mt19937_64& gen) {
    StoredPoint p;
    p.point = k;
    p.seconds = k % 97 == 0 ? std::nullopt : std::optional(0.5 * k + 1e-9 * k);
    for (const int c : {1, 3, 10, 11}) {
        double v = 0;
        do {
            v = std::bit_cast<double>(gen());
        } while (!std::isfinite(v));
        const std::uint64_t pick = gen() % 8;
        p.values[static_cast<std::size_t>(c)] = pick == 0   ? std::nullopt
                                                : pick == 1 ? std::optional(9.9E+37)
                                                : pick == 2 ? std::optional(-0.0)
                                                : pick == 3 ? std::optional(DBL_TRUE_MIN)
                                                            : std::optional(v);
    }
    return p;
}

class JournalTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::path(TQ_BINARY_DIR) / "tests/journal" /
              ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(dir);
        fs::create_directories(dir);
    }

    JournalSettings settings(const fs::path& root) {
        return {.root = QString::fromStdString(root.string()),
                .program = "tq4700 9.9",
                .now = [] { return QDateTime(QDate(2026, 12, 6), QTime(9, 30, 15)); },
                .rowFunctions = {},
                .opened = [this](const QString& path) { opened.push_back(path.toStdString()); },
                .failed = [this](const QString& why) { failures.push_back(why.toStdString()); }};
    }

    static std::string fileText(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    static void expectSamePoints(const std::vector<StoredPoint>& got,
                                 const std::vector<StoredPoint>& want) {
        ASSERT_EQ(got.size(), want.size());
        for (std::size_t i = 0; i < want.size(); ++i) {
            ASSERT_EQ(got[i].point, want[i].point);
            ASSERT_EQ(got[i].seconds, want[i].seconds) << "point " << want[i].point;
            for (std::size_t c = 0; c < want[i].values.size(); ++c) {
                const auto& g = got[i].values[c];
                const auto& w = want[i].values[c];
                ASSERT_EQ(g.has_value(), w.has_value()) << "point " << want[i].point << " c" << c;
                if (w) {
                    ASSERT_EQ(std::bit_cast<std::uint64_t>(*g), std::bit_cast<std::uint64_t>(*w))
                        << "point " << want[i].point << " c" << c;
                }
            }
        }
    }

    // Points 1..count from gen, each stored as the run stores it, pauseMs apart.
    std::vector<StoredPoint> storePoints(JournalWriter& writer, std::int32_t count,
                                         std::mt19937_64& gen, std::int64_t pauseMs = 0) {
        std::vector<StoredPoint> points;
        for (std::int32_t k = 1; k <= count; ++k) {
            points.push_back(pointOf(k, gen));
            writer.pointStored(points.back());
            clock.pause(pauseMs);
        }
        return points;
    }

    fs::path dir;
    VirtualClock clock;
    std::vector<std::string> opened;
    std::vector<std::string> failures;
};

TEST_F(JournalTest, ReadsBackEveryValueAndTheSetUpOfAScanCardRun) {
    JournalWriter writer(clock, settings(dir));
    std::mt19937_64 gen(17);
    writer.runStarted(scanCardSetup());
    const std::vector<StoredPoint> points = storePoints(writer, 1500, gen, 100);  // ten a second
    writer.runEnded(RunEnd::Stopped, 1500);
    ASSERT_TRUE(failures.empty()) << failures.front();
    ASSERT_EQ(opened,
              std::vector<std::string>{(dir / "2026-12-06/093015-TW00000001.csv").string()});
    // The head, at most one sync a second of the run's clock and the end.
    EXPECT_LE(writer.syncCount(), 150 + 2);
    EXPECT_GE(writer.syncCount(), 149);

    const std::string text = fileText(opened[0]);
    EXPECT_NE(text.find("\npoint,time_s,CH1,CH3,CH10,math\n"), std::string::npos);
    EXPECT_NE(text.find(",9.9E+37"), std::string::npos);
    EXPECT_TRUE(text.ends_with("\n# end: stopped, 1500 points\n"));

    const JournalRun run = readJournal(QString::fromStdString(opened[0]));
    EXPECT_TRUE(run.problems.empty()) << run.problems.front();
    EXPECT_EQ(run.channels, (std::vector<int>{1, 3, 10}));
    EXPECT_TRUE(run.hasMath);
    EXPECT_EQ(run.end, RunEnd::Stopped);
    EXPECT_EQ(run.pointsTaken, 1500);
    expectSamePoints(run.points, points);

    // The set-up comes back field by field.
    const auto fields = [](const RunSetup& s) {
        std::vector<std::tuple<int, std::string, std::string, std::optional<double>, std::string>>
            rows;
        for (const RunChannelSetup& c : s.channels) {
            rows.emplace_back(c.channel, c.function, c.rangeText, c.rangeValue, c.filter);
        }
        return std::tuple(s.mode, s.resource, s.identity, s.serial, rows, s.band, s.triggerDelay,
                          s.scanTime, s.interval, s.recordLength, s.pointsPerScreen, s.mathFormula);
    };
    EXPECT_EQ(fields(run.setup), fields(scanCardSetup()));
    ASSERT_FALSE(run.meta.empty());
    EXPECT_EQ(run.meta[0], (std::pair<std::string, std::string>{"program", "tq4700 9.9"}));
    EXPECT_EQ(run.meta[1].first, "started");
    EXPECT_TRUE(
        std::regex_match(run.meta[1].second, std::regex(R"(2026-12-06T09:30:15[+-]\d\d:\d\d)")))
        << run.meta[1].second;
}

// A main-unit run: CH1 only, no math; a second run in the same second gets
// its own file; an identity with a line break stays on its line.
TEST_F(JournalTest, MainUnitRunAndASecondRunInTheSameSecond) {
    JournalSettings s = settings(dir);
    s.rowFunctions = [] { return std::vector<std::string>(10, "DCV"); };
    JournalWriter writer(clock, s);
    RunSetup setup;
    setup.mode = RunMode::MainUnit;
    setup.identity = "VARANDEL,TQ4700,TW/1\r\n,2.01";
    setup.serial = "TW/1";
    setup.channels = {
        {.channel = 1, .function = "2W Ohm", .rangeText = "1k", .rangeValue = 1000, .filter = ""}};
    for (int run = 1; run <= 2; ++run) {
        writer.runStarted(setup);
        StoredPoint p{.point = 1, .seconds = 0.0, .values = {}};
        p.values[1] = 12.5;
        p.values[11] = 3.0;  // no math column: not written
        writer.pointStored(p);
        writer.runEnded(RunEnd::MeterSilent, 1);
    }
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[0], (dir / "2026-12-06/093015-TW_1.csv").string());
    EXPECT_EQ(opened[1], (dir / "2026-12-06/093015-TW_1-2.csv").string());

    const std::string text = fileText(opened[1]);
    EXPECT_NE(text.find("# identity: VARANDEL,TQ4700,TW/1  ,2.01\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\npoint,time_s,CH1\n1,0,12.5\n"), std::string::npos) << text;

    const JournalRun run = readJournal(QString::fromStdString(opened[1]));
    EXPECT_TRUE(run.problems.empty());
    EXPECT_EQ(run.setup.mode, RunMode::MainUnit);
    EXPECT_FALSE(run.setup.mathFormula);
    EXPECT_FALSE(run.hasMath);
    EXPECT_EQ(run.rowFunctions, std::vector<std::string>(10, "DCV"));
    EXPECT_EQ(run.end, RunEnd::MeterSilent);
    ASSERT_EQ(run.points.size(), 1u);
    EXPECT_FALSE(run.points[0].values[11]);
}

// A crash can cut the file at any byte: the reader gives every whole row
// before the cut and nothing torn; a damaged row is named and skipped.
TEST_F(JournalTest, AJournalCutAnywhereReadsUpToItsLastWholeRow) {
    JournalWriter writer(clock, settings(dir));
    std::mt19937_64 gen(4700);
    writer.runStarted(scanCardSetup());
    const std::vector<StoredPoint> points = storePoints(writer, 200, gen);
    writer.runEnded(RunEnd::Completed, 200);
    const std::string text = fileText(opened.at(0));
    const std::size_t headEnd = text.find("\n1,") + 1;

    std::uniform_int_distribution<std::size_t> at(0, text.size());
    for (int trial = 0; trial < 300; ++trial) {
        const std::size_t cut = trial < 50 ? headEnd - 25 + trial : at(gen);
        const JournalRun run = readJournalText(std::string_view(text).substr(0, cut));
        // Rows whose line end lies before the cut.
        std::size_t whole = 0;
        for (std::size_t pos = headEnd; whole < points.size(); ++whole) {
            pos = text.find('\n', pos);
            if (pos >= cut) {
                break;
            }
            ++pos;
        }
        expectSamePoints(run.points,
                         std::vector<StoredPoint>(points.begin(), points.begin() + whole));
        EXPECT_LE(run.problems.size(), 2u) << cut;
        EXPECT_EQ(run.end.has_value(), cut == text.size()) << cut;
        if (cut > headEnd) {
            EXPECT_EQ(run.setup.channels.size(), 3u);
        }
    }

    std::string damaged = text;
    const std::size_t row3 = damaged.find("\n3,") + 1;
    damaged.replace(row3, damaged.find('\n', row3) - row3, "3,x,,,");
    const JournalRun run = readJournalText(damaged);
    EXPECT_EQ(run.points.size(), points.size() - 1);
    ASSERT_EQ(run.problems.size(), 1u);
    const auto line = 1 + std::count(damaged.begin(), damaged.begin() + row3, '\n');
    EXPECT_TRUE(run.problems[0].starts_with("line " + std::to_string(line) + ":"))
        << run.problems[0];
}

// A folder that cannot be made, then a disk that fills up mid-run: each
// run says so once and the points keep coming.
TEST_F(JournalTest, AJournalThatCannotBeWrittenFailsOnceAndQuietly) {
    std::ofstream(dir / "file") << "not a folder";
    JournalWriter blocked(clock, settings(dir / "file/runs"));
    for (int run = 0; run < 2; ++run) {
        blocked.runStarted(scanCardSetup());
        for (std::int32_t k = 1; k <= 10; ++k) {
            blocked.pointStored({.point = k, .seconds = k * 1.0, .values = {}});
        }
        blocked.runEnded(RunEnd::Completed, 10);
    }
    ASSERT_EQ(failures.size(), 2u);
    EXPECT_NE(failures[0].find("Not a directory"), std::string::npos) << failures[0];
    EXPECT_TRUE(opened.empty());

    // The file size limit stands in for a full disk: write() fails with
    // EFBIG part-way through a row.
    failures.clear();
    JournalWriter writer(clock, settings(dir));
    writer.runStarted(scanCardSetup());
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    const auto size = static_cast<rlim_t>(fs::file_size(opened.at(0)));
    rlimit small = old;
    small.rlim_cur = size + 1000;
    ::setrlimit(RLIMIT_FSIZE, &small);
    std::mt19937_64 gen(1);
    std::vector<StoredPoint> points = storePoints(writer, 100, gen);
    writer.runEnded(RunEnd::Completed, 100);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);

    ASSERT_EQ(failures.size(), 1u);
    EXPECT_NE(failures[0].find("File too large"), std::string::npos) << failures[0];
    EXPECT_FALSE(writer.writing());
    const JournalRun run = readJournal(QString::fromStdString(opened[0]));
    ASSERT_GT(run.points.size(), 3u);
    ASSERT_LT(run.points.size(), 100u);
    points.resize(run.points.size());
    expectSamePoints(run.points, points);
    EXPECT_FALSE(run.end);
}

}  // namespace
}  // namespace tq
