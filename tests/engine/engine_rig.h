#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "common/number_text.h"
#include "common/virtual_clock.h"
#include "engine/run_context.h"
#include "engine/run_display.h"
#include "engine/run_inputs.h"
#include "engine/run_observers.h"
#include "engine/run_recorder.h"
#include "engine/run_state.h"
#include "engine/scripted_visa.h"
#include "engine/stopwatch.h"
#include "engine/whole_run.h"
#include "instrument/link_factory.h"
#include "instrument/session.h"
#include "rules/scale.h"
#include "run/session_link.h"
#include "store/record_store.h"

namespace tq::test {

struct Row {
    std::string function;
    std::string range;
    std::string filter = "20Hz";
    double calibration = 0;
};

// A run's inputs as plain fields, read at every use: a field changed during
// a run counts from its next use, as a control does. Rows in use from CH1 on.
struct PlainInputs : RunInputs {
    std::string triggerDelayText() const override { return delay; }
    std::string scanTimeText() const override { return scanTimer; }
    double triggerDelay() const override { return Val(delay); }
    double scanTime() const override { return Val(scanTimer); }
    double intervalSeconds() const override { return interval; }
    double recordLength() const override { return length; }
    double channelCount() const override { return channels; }
    double pointsPerScreen() const override { return perScreen; }
    bool rowInUse(int row) const override { return row < std::ssize(rows); }
    std::string function(int row) const override { return at(row).function; }
    std::string range(int row) const override { return at(row).range; }
    std::string filter(int row) const override { return at(row).filter; }
    double calibration(int row) const override { return at(row).calibration; }
    std::optional<MathInputs> math() const override { return mathInputs; }
    bool runOn() const override { return on; }
    bool held() const override { return hold; }
    bool stopRequested() const override { return stop; }

    Row at(int row) const { return rowInUse(row) ? rows[static_cast<std::size_t>(row)] : Row{}; }

    std::string delay = "0.001";
    std::string scanTimer = "0.01";
    double interval = 0.01;
    double length = 1;
    double channels = 1;
    double perScreen = 100;
    std::vector<Row> rows;
    std::optional<MathInputs> mathInputs;
    bool on = true;
    bool hold = false;
    bool stop = false;
};

// What the run showed, the latest of each; a read-out of none is an
// empty box.
struct RecordingDisplay : RunDisplay {
    void pointNumber(std::optional<std::int32_t> p) override { point = p; }
    void scannedPoint(std::int32_t p) override { scanned = p; }
    void readTime(std::int32_t) override {}
    void slowReads(double count) override { slow = count; }
    void scanProgress(double done) override { progress = done; }
    void channelCount(double count) override { channels = count; }
    void clearReadout(int box) override { readouts.at(static_cast<std::size_t>(box)).reset(); }
    void showReading(int box, double v) override { readouts.at(static_cast<std::size_t>(box)) = v; }
    std::optional<int> leftAxisChannel() const override { return leftAxis; }
    void refreshLeftAxis(int channel) override { axisRefreshes.push_back(channel); }
    void showMath(double value) override { math = value; }
    void refreshMathAxis() override { ++mathAxisRefreshes; }
    void redraw(std::int32_t p, RunMode) override {
        redraws.push_back(p);
        ch1AtRedraw.push_back(readouts[0]);
    }

    std::optional<std::int32_t> point;
    std::int32_t scanned = 0;
    double slow = 0;
    double progress = 0;
    std::optional<double> channels;
    std::array<std::optional<double>, 10> readouts{};
    std::optional<int> leftAxis;
    std::vector<int> axisRefreshes;
    std::optional<double> math;
    int mathAxisRefreshes = 0;
    std::vector<std::int32_t> redraws;
    std::vector<std::optional<double>> ch1AtRedraw;
};

// The run engine on plain inputs and a recording display, over the
// simulated meter on a virtual clock; the recorder hears every run.
class EngineRig {
  public:
    explicit EngineRig(sim::Options meter = {})
        : mode(meter.card ? RunMode::ScanCard : RunMode::MainUnit), link_(simulated(clock, meter)) {
        session.openResourceManager();
        session.findMeters();
        session.openMeter();
        session.setIoTimeout();
        session.ScanCardPresent = meter.card ? 1 : 0;
        observers.add(&events);
    }
    static sim::Options noCard() {
        sim::Options meter;
        meter.card = false;
        return meter;
    }

    sim::Meter& meter() { return *link_.meter; }

    // Rows in use from CH1 on, and the channel count.
    void setChannels(std::initializer_list<Row> rows, int repeat = 1) {
        in.rows.clear();
        for (int n = 0; n < repeat; ++n) {
            in.rows.insert(in.rows.end(), rows);
        }
        in.channels = static_cast<double>(in.rows.size());
    }
    RunOutcome run(double recordLength) {
        in.length = recordLength;
        RunSetup setup;
        setup.mode = mode;
        run::startRun(ctx, setup);
        const RunOutcome outcome = run::runPoints(ctx);
        run::finishRun(ctx, outcome);
        return outcome;
    }

    // Lines the meter received, without their line feeds.
    std::vector<std::string> lines() const {
        std::vector<std::string> out;
        for (const sim::TranscriptEntry& e : link_.meter->transcript()) {
            if (e.fromHost) {
                out.push_back(e.bytes.substr(0, e.bytes.find('\n')));
            }
        }
        return out;
    }
    long count(const std::string& line) const { return std::ranges::count(lines(), line); }
    // Point k of the P taken sits at row 10000 + k until the screen of N
    // fills, then at 10001 + N - P + k (the history below the screen): the
    // store holds there what the run read and what it told.
    void expectRowsHold() const {
        const int P = static_cast<int>(events.stored.size());
        const int N = static_cast<int>(in.perScreen);
        for (const StoredPoint& sp : events.stored) {
            const int k = sp.point;
            const int row = P <= N ? 10000 + k : 10001 + N - P + k;
            EXPECT_EQ(sp.seconds, store.time(row)) << "point " << k;
            for (std::size_t c = 1; c <= 11; ++c) {
                const auto column = static_cast<int>(c);
                EXPECT_EQ(sp.values[c], store.value(row, column)) << "point " << k << " col " << c;
                if (c <= 10) {
                    EXPECT_EQ(events.taken.at(static_cast<std::size_t>(k - 1))[c],
                              store.value(row, column))
                        << "point " << k << " col " << c;
                }
            }
        }
    }
    // The virtual time at which the meter received a line (its first time).
    std::int64_t sentAt(const std::string& line) {
        const auto& t = meter().transcript();
        return std::ranges::find(t, line + "\n", &sim::TranscriptEntry::bytes)->timeMs;
    }

    VirtualClock clock;
    PlainInputs in;
    RecordingDisplay shown;
    Recorder events;
    RunMode mode;

  private:
    static visa::Link simulated(VirtualClock& clock, const sim::Options& meter) {
        visa::LinkOptions options;
        options.searchSystemVisa = false;
        options.simulator = meter;
        options.clock = &clock;
        return visa::openLink(options);
    }
    visa::Link link_;

  public:
    ScriptedVisa scripted{*link_.visa, clock};
    InstrumentSession session{scripted};
    SessionLink link{session};
    ScaleState scale;
    RecordStore store;
    RunState state;
    Stopwatches watches{clock};
    RunObservers observers;
    RunContext ctx{clock, link, scale, store, state, watches, in, shown, observers};
};

}  // namespace tq::test
