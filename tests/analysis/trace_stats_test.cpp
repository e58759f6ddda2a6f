#include "analysis/trace_stats.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "support/journal_fixtures.h"

namespace tq {
namespace {

using test::channelRow;

// CH1 and CH3 at a time, math their difference where both have readings.
StoredPoint point(std::int32_t number, std::optional<double> seconds, std::optional<double> ch1,
                  std::optional<double> ch3 = {}) {
    const auto math = ch1 && ch3 ? std::optional(*ch1 - *ch3) : std::nullopt;
    return test::storedPoint(number, seconds, {{1, ch1}, {3, ch3}, {11, math}});
}

// CH1 over six points: 1, gap, 3, overload, -2, negative overload; a seventh
// point whose time was never stored.
JournalRun sampleJournal() {
    return test::journalRun({channelRow(1, "DCV"), channelRow(3, "Frequency")}, true,
                            {point(1, 0.0, 1.0, 0.5), point(2, 1.0, std::nullopt, 0.5),
                             point(3, 2.0, 3.0), point(4, 3.0, 9.9E+37), point(5, 4.0, -2.0),
                             point(6, 5.0, -9.9E+37), point(7, std::nullopt, 100.0)});
}

TEST(RunModel, TracesFollowTheJournalsColumnsWithTheirUnits) {
    const RunModel model = RunModel::fromJournal(sampleJournal());
    ASSERT_EQ(model.traces().size(), 3u);
    EXPECT_EQ(model.traces()[0].name, "CH1");
    EXPECT_EQ(model.traces()[0].unit, "V");
    EXPECT_EQ(model.traces()[1].name, "CH3");
    EXPECT_EQ(model.traces()[1].unit, "Hz");
    EXPECT_EQ(model.traces()[2].name, "math");
    EXPECT_EQ(model.traces()[2].column, 11);
    EXPECT_EQ(classify(9.9E+37), ValueKind::Overload);
    EXPECT_EQ(classify(-9.9E+37), ValueKind::Overload);
    EXPECT_EQ(classify(std::nan("")), ValueKind::Missing);
    EXPECT_EQ(classify(9.8E+37), ValueKind::Reading);
}

TEST(RunModel, LivePointsAppendAndARestoredPointReplacesItsNumber) {
    RunModel model;
    RunSetup setup;
    setup.channels = {channelRow(2, "Period")};
    model.start(setup);
    model.add(point(1, 0.0, 1.0));
    model.add(point(3, 2.0, 3.0));
    model.add(point(2, 1.0, 2.0));
    model.add(point(3, 2.0, 4.0));
    ASSERT_EQ(model.points().size(), 3u);
    EXPECT_EQ(model.points()[1].point, 2);
    EXPECT_EQ(model.points()[2].values[1], 4.0);
    EXPECT_EQ(model.traces().at(0).unit, "s");
    model.start(setup);
    EXPECT_TRUE(model.points().empty());
}

TEST(TraceStats, FiguresLeaveOutGapsAndOverloadsAndCountThem) {
    const RunModel model = RunModel::fromJournal(sampleJournal());
    const Trace& ch1 = model.traces()[0];

    // Readings 1, 3, -2 between 0 s and 4 s, both bounds included.
    const TraceStats s = traceStats(model, ch1, 4.0, 0.0, XAxis::Seconds);
    EXPECT_EQ(std::tuple(s.count, s.missing, s.overloads, s.min, s.max, s.p2p),
              std::tuple(3, 1, 1, -2.0, 3.0, 5.0));
    EXPECT_NEAR(*s.mean, 2.0 / 3.0, 1e-12);
    // Deviations 1/3, 7/3, -8/3: squares 114/9 over n-1 = 2.
    EXPECT_NEAR(*s.std, std::sqrt(114.0 / 9.0 / 2.0), 1e-12);
    EXPECT_NEAR(*s.rms, std::sqrt(14.0 / 3.0), 1e-12);

    // The negative overload and the point without a time.
    EXPECT_EQ(traceStats(model, ch1, 0, 5, XAxis::Seconds).overloads, 2);
    EXPECT_EQ(traceStats(model, ch1, 1, 7, XAxis::PointNumber).count, 4);
}

TEST(TraceStats, OneReadingHasNoDeviationAndNoneHasNoFigures) {
    const RunModel model = RunModel::fromJournal(sampleJournal());
    const Trace& ch1 = model.traces()[0];

    const TraceStats one = traceStats(model, ch1, 2.0, 2.0, XAxis::Seconds);
    EXPECT_EQ(std::tuple(one.count, one.mean, one.rms, one.p2p, one.std),
              std::tuple(1, 3.0, 3.0, 0.0, std::nullopt));

    const TraceStats gapOnly = traceStats(model, ch1, 0.5, 1.5, XAxis::Seconds);
    EXPECT_EQ(std::pair(gapOnly.count, gapOnly.missing), std::pair(0, 1));
    EXPECT_FALSE(gapOnly.min || gapOnly.max || gapOnly.mean || gapOnly.std || gapOnly.rms ||
                 gapOnly.p2p);

    EXPECT_EQ(traceStats(model, ch1, 10, 20, XAxis::Seconds).count, 0);
    EXPECT_EQ(statsCsv(model, 0.5, 0.9, XAxis::Seconds),
              "trace,count,missing,overloads,min,max,mean,std,rms,p2p\n"
              "CH1,0,0,0,,,,,,\nCH3,0,0,0,,,,,,\nmath,0,0,0,,,,,,\n");
}

TEST(TraceStats, SmallSpreadOnALargeLevelKeepsItsDeviation) {
    JournalRun run = test::journalRun({channelRow(1, "DCV")}, false);
    for (int i = 0; i < 3; ++i) {
        run.points.push_back(point(i + 1, i, 10.0 + (i + 1) * 1e-6));
    }
    const RunModel model = RunModel::fromJournal(run);
    EXPECT_NEAR(*traceStats(model, model.traces()[0], 0, 2, XAxis::Seconds).std, 1e-6, 1e-12);
}

TEST(TraceValueAt, HoldsTheLastPointAtOrBeforeX) {
    const RunModel model = RunModel::fromJournal(sampleJournal());
    const Trace& ch1 = model.traces()[0];
    EXPECT_EQ(traceValueAt(model, ch1, -1, XAxis::Seconds).kind, ValueKind::Missing);
    EXPECT_EQ(traceValueAt(model, ch1, 2.5, XAxis::Seconds).value, 3.0);
    EXPECT_EQ(traceValueAt(model, ch1, 1.0, XAxis::Seconds).kind, ValueKind::Missing);
    EXPECT_EQ(traceValueAt(model, ch1, 3.2, XAxis::Seconds).kind, ValueKind::Overload);
}

}  // namespace
}  // namespace tq
