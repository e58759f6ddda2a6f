#include "engine/main_unit_run.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>

#include "catalogue/catalogue.h"
#include "common/clock.h"
#include "common/number_text.h"
#include "engine/fetch_reply.h"
#include "engine/line_steps.h"
#include "engine/meter_link.h"
#include "engine/point_loop.h"
#include "engine/point_time.h"
#include "engine/run_display.h"
#include "engine/run_inputs.h"
#include "engine/run_observers.h"
#include "engine/run_ranges.h"
#include "engine/run_reports.h"
#include "engine/run_state.h"
#include "engine/stopwatch.h"
#include "rules/plot_rule.h"
#include "rules/reading.h"
#include "store/record_store.h"

namespace tq {
namespace {

constexpr int kAfterTriggerLineMs = 50;
constexpr int kBeforeReadQueryMs = 50;
constexpr int kBeforeReplyMs = 100;
// The meter's own input reads with more resolution in time than a scan.
constexpr const char* kTimePicture = "##0.0##";
constexpr int kCh1 = 0;

}  // namespace

RunOutcome MainUnitRun::run() {
    RunState& st = ctx_.state;
    st.SlowReads = 0;
    ctx_.display.slowReads(st.SlowReads);
    // Its change handler leaves CH1 alone on the window.
    ctx_.display.channelCount(1);
    st.FailedReads = 0;
    ctx_.watches.StartWatch1();
    return run::pointLoop(
        ctx_, RunMode::MainUnit, [this] { programPoint(); }, [this] { return readPoint(); });
}

void MainUnitRun::programPoint() {
    const RunInputs& in = ctx_.inputs;
    RunState& st = ctx_.state;
    ctx_.display.pointNumber(st.PointIndex);
    const std::string triggerDelay = in.triggerDelayText();
    run::send(ctx_, "TRIG:DEL " + triggerDelay);
    ctx_.clock.pause(kAfterTriggerLineMs);
    ctx_.clock.yield();
    run::send(ctx_, "TRIGger:Source IMM");
    ctx_.clock.pause(kAfterTriggerLineMs);
    ctx_.clock.yield();

    const bool inUse = in.rowInUse(kCh1);
    int band = catalogue::kNoBand;
    if (inUse) {
        band = catalogue::lowerBand(band, in.filter(kCh1));
    }
    st.MinBand = static_cast<std::int16_t>(band);

    // A row without a function sends nothing: the meter keeps its last
    // set-up and is read all the same.
    const std::string function = in.function(kCh1);
    std::optional<double> sent;
    if (function != catalogue::kNoFunction && inUse) {
        if (const catalogue::Function* f = catalogue::findFunction(function)) {
            sent = run::translateForRun(ctx_, *f, in.range(kCh1));
            run::sendSteps(ctx_, catalogue::mainUnitLines(function, *sent, st.MinBand));
        }
    }
    if (!st.SetupReported) {
        st.Setup.triggerDelay = triggerDelay;
        run::noteSetupChannel(ctx_, kCh1, sent);
    }
    ctx_.clock.pause(kBeforeReadQueryMs);
    ctx_.clock.yield();
    ctx_.clock.yield();
}

RunOutcome MainUnitRun::readPoint() {
    MeterLink& link = ctx_.link;
    RunState& st = ctx_.state;
    run::send(ctx_, "READ?");
    run::storePointTime(ctx_, kTimePicture);
    link.clearFetch();
    ctx_.clock.pause(kBeforeReplyMs);
    ctx_.clock.yield();
    link.readFetch();
    // A failed read is no reading, not a reading of 0.
    const bool usable = !link.failed(link.status());
    if (!usable) {
        run::reportFailedRead(ctx_, link.status());
        link.clearFetch();
    }
    st.FetchLine = fetchLine(link.fetchReply(), 1);
    const auto readings = fieldReadings(st.FetchLine, 1);
    if (readings.empty() || !readings.front()) {
        if (usable) {
            run::reportNoNumber(ctx_);
        }
        ctx_.display.clearReadout(kCh1);
    } else {
        takeReading(*readings.front(), run::currentRow(ctx_));
    }
    return run::meterSilent(ctx_, usable) ? RunOutcome::MeterSilent : RunOutcome::Continue;
}

void MainUnitRun::takeReading(double reading, int row) {
    RunState& st = ctx_.state;
    const std::string function = ctx_.inputs.function(kCh1);
    st.Reading[1] = reading;
    ctx_.observers.readingTaken(st.PointIndex, kCh1 + 1, reading);
    if (!isOverload(reading)) {
        run::scaleFromFirstReading(ctx_, function, kCh1 + 1, reading);
    }
    ctx_.display.clearReadout(kCh1);
    ctx_.clock.yield();
    ctx_.display.showReading(kCh1, reading);
    // An overload leaves the trace where the previous point put it.
    const std::optional<double> y =
        PlotYRule(ctx_.scale, function, reading, ctx_.inputs.calibration(kCh1), st.PlotY,
                  OverloadPlacement::KeepPrevious);
    if (!y) {
        return;
    }
    st.PlotY = *y;
    if (catalogue::findFunction(function) != nullptr) {
        ctx_.store.setPlotY(row, 1, truncatedTwip(st.PlotY));
    }
    ctx_.store.setValue(row, 1, reading);
}

}  // namespace tq
