// What a run tells its observers, held against what the store and the
// meter's link say: the set-up as the first point sent it, every point as
// the store holds it, every failed read and the way the run ended.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "engine/run_observer.h"
#include "run/run_rig.h"

namespace tq::test {
namespace {

struct Failure {
    std::int32_t point;
    ReadFailure why;
    std::int32_t status;
};

// Every event, in order, as one letter each, with what came with it.
struct Recorder : RunObserver {
    void runStarted(const RunSetup& s) override {
        order += 'S';
        setup = s;
    }
    void pointStarted(std::int32_t point) override {
        order += 'P';
        started.push_back(point);
    }
    void readFailed(std::int32_t point, ReadFailure why, std::int32_t status) override {
        order += 'F';
        failures.push_back({point, why, status});
    }
    void readingTaken(std::int32_t, int, double) override { order += 'R'; }
    void pointStored(const StoredPoint& point) override {
        order += 'W';
        stored.push_back(point);
    }
    void runEnded(RunEnd how, std::int32_t points) override {
        order += 'E';
        end = how;
        pointsTaken = points;
    }

    std::string order;
    std::optional<RunSetup> setup;
    std::vector<std::int32_t> started;
    std::vector<Failure> failures;
    std::vector<StoredPoint> stored;
    std::optional<RunEnd> end;
    std::int32_t pointsTaken = -1;
};

// The stored points are the store's rows: point k of P at row
// 10001 + k - 1 until the screen of N fills, then 10001 + N - P + k.
void expectStoreHolds(const RunRig& rig, const Recorder& rec, int N) {
    const auto P = static_cast<int>(rec.stored.size());
    for (const StoredPoint& sp : rec.stored) {
        const int row = P <= N ? 10000 + sp.point : 10001 + N - P + sp.point;
        if (row <= 10000) {
            continue;  // scrolled off the screen
        }
        EXPECT_EQ(sp.seconds, rig.store.time(row)) << "point " << sp.point;
        for (int c = 1; c <= 11; ++c) {
            EXPECT_EQ(sp.values[static_cast<std::size_t>(c)], rig.store.value(row, c))
                << "point " << sp.point << " column " << c;
        }
    }
}

TEST(RunEvents, AScanCardRunWithOverloadsGapsAndMathIsToldAsTheStoreHoldsIt) {
    RunRig rig;
    Recorder rec;
    rig.driver.addObserver(&rec);
    rig.setChannels({{"DCV", "10V", "20Hz"}, {"ACV", "1V", "200Hz"}, {"DCV", "AUTO", "20Hz"}});
    rig.setPointsPerScreen(10);
    rig.p.ChkMath->setChecked(true);
    rig.p.Cbo1[0]->setEditText("CH1");
    rig.p.Cbo1[1]->setEditText("CH3");
    rig.p.Cbo2->setEditText("減");
    rig.scripted.script("fetch?", 2,
                        replyWith("+9.90000000E+37,#$%&'()*+,-./01,+1.00000000E+00\n"));
    rig.scripted.script("fetch?", 4, timeOut());
    rig.scripted.script("fetch?", 5, replyWith("garbage that holds no number at all!!\n"));
    rig.run(14);

    ASSERT_TRUE(rec.setup);
    const RunSetup& s = *rec.setup;
    EXPECT_EQ(s.mode, RunMode::ScanCard);
    EXPECT_EQ(s.resource, rig.session.ResourceName);
    EXPECT_EQ(s.serial, "TW00000001");
    ASSERT_EQ(s.channels.size(), 3u);
    EXPECT_EQ(s.channels[1].channel, 2);
    EXPECT_EQ(s.channels[1].function, "ACV");
    EXPECT_EQ(s.channels[1].rangeText, "1V");
    EXPECT_EQ(s.channels[1].filter, "200Hz");
    EXPECT_EQ(s.channels[0].rangeValue, 10.0);
    EXPECT_EQ(s.band, 20);
    EXPECT_EQ(s.triggerDelay, rig.p.TxtTrigDelay->text().toStdString());
    EXPECT_EQ(s.scanTime, rig.p.TxtScanTimer->text().toStdString());
    EXPECT_EQ(s.recordLength, 14);
    EXPECT_EQ(s.pointsPerScreen, 10);
    EXPECT_EQ(s.mathFormula, "(CH1-CH3)*1+0");
    EXPECT_EQ(rig.count("TRIG:DEL " + s.triggerDelay), 14);

    EXPECT_EQ(rec.order.substr(0, 2), "SP");
    EXPECT_EQ(rec.order.back(), 'E');
    EXPECT_EQ(rec.end, RunEnd::Completed);
    EXPECT_EQ(rec.pointsTaken, 14);
    ASSERT_EQ(rec.stored.size(), 14u);
    EXPECT_EQ(rec.stored[1].values[1], 9.9E+37);
    EXPECT_EQ(rec.stored[1].values[2], std::nullopt);
    EXPECT_EQ(rec.stored[3].values[1], std::nullopt);
    EXPECT_TRUE(rec.stored[3].seconds.has_value());
    EXPECT_TRUE(rec.stored[0].values[11].has_value());
    ASSERT_EQ(rec.failures.size(), 2u);
    EXPECT_EQ(rec.failures[0].point, 4);
    EXPECT_EQ(rec.failures[0].why, ReadFailure::TimedOut);
    EXPECT_EQ(rec.failures[1].point, 5);
    EXPECT_EQ(rec.failures[1].why, ReadFailure::NoNumber);
    expectStoreHolds(rig, rec, 10);
}

TEST(RunEvents, AMainUnitRunToldAsTheStoreHoldsIt) {
    sim::Options meter;
    meter.card = false;
    RunRig rig(meter);
    Recorder rec;
    rig.driver.addObserver(&rec);
    rig.setChannels({{"DCV", "10V"}});
    rig.scripted.script("READ?", 2, replyWith("+9.90000000E+37\n"));
    rig.scripted.script("READ?", 3, timeOut());
    rig.scripted.script("READ?", 4, replyWith("no number\n"));
    rig.run(5);

    ASSERT_TRUE(rec.setup);
    EXPECT_EQ(rec.setup->mode, RunMode::MainUnit);
    ASSERT_EQ(rec.setup->channels.size(), 1u);
    EXPECT_EQ(rec.setup->channels[0].rangeValue, 10.0);
    EXPECT_EQ(rec.setup->scanTime, "");
    EXPECT_EQ(rec.setup->mathFormula, std::nullopt);
    EXPECT_EQ(rec.order, "SPRWPRWPFWPFWPRWE");
    EXPECT_EQ(rec.started, (std::vector<std::int32_t>{1, 2, 3, 4, 5}));
    EXPECT_EQ(rec.failures[0].why, ReadFailure::TimedOut);
    EXPECT_EQ(rec.failures[1].why, ReadFailure::NoNumber);
    EXPECT_EQ(rec.stored[1].values[1], 9.9E+37);
    expectStoreHolds(rig, rec, 100);
    EXPECT_EQ(rec.end, RunEnd::Completed);
}

// A meter gone silent ends the run with the same message box as ever; the
// observers hear whether the link itself was lost.
TEST(RunEvents, ARunThatEndsSilentSaysWhetherTheConnectionWasLost) {
    for (const bool disconnect : {false, true}) {
        for (const bool card : {false, true}) {
            sim::Options meter;
            meter.card = card;
            if (disconnect) {
                meter.faults.disconnectAfterLines = 200;
            } else {
                meter.faults.dropReply = 1;
            }
            RunRig rig(meter);
            Recorder rec;
            rig.driver.addObserver(&rec);
            rig.setChannels({{"DCV", "10V"}});
            rig.run(100);
            EXPECT_EQ(rec.end, disconnect ? RunEnd::ConnectionLost : RunEnd::MeterSilent);
            EXPECT_EQ(rec.pointsTaken, rig.store.pointsTaken());
            EXPECT_EQ(rig.boxes.texts.size(), 1u);
            ASSERT_GE(rec.failures.size(), 10u);
            EXPECT_EQ(rec.failures.back().status,
                      disconnect ? visa::VI_ERROR_CONN_LOST : visa::VI_ERROR_TMO);
            expectStoreHolds(rig, rec, 100);
        }
    }
}

TEST(RunEvents, AStoppedRunAndARunOfNoPointsAreToldTheirEnd) {
    RunRig rig;
    Recorder rec;
    rig.driver.addObserver(&rec);
    rig.setChannels({{"DCV", "10V"}});
    rig.clock.setIdleHook([&] { rig.p.ChkTest[0]->setChecked(false); });
    rig.clock.setYieldHook([&] {
        if (rig.p.Text5->text() == "3") {
            rig.p.ChkTest[0]->setChecked(false);
        }
    });
    rig.run(10);
    EXPECT_EQ(rec.end, RunEnd::Stopped);
    // Stopped inside point 3: two points taken, and told.
    EXPECT_EQ(rec.pointsTaken, 2);
    EXPECT_EQ(rec.stored.size(), 2u);

    Recorder none;
    rig.driver.addObserver(&none);
    rig.clock.setYieldHook({});
    rig.run(0);
    EXPECT_EQ(none.order, "SE");
    EXPECT_EQ(none.setup->recordLength, 0);
    EXPECT_EQ(none.end, RunEnd::Completed);
}

}  // namespace
}  // namespace tq::test
