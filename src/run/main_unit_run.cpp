#include "run/main_unit_run.h"

#include <QComboBox>
#include <QLineEdit>
#include <QString>
#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>

#include "catalogue/catalogue.h"
#include "common/clock.h"
#include "common/number_text.h"
#include "display/trend_plot.h"
#include "engine/fetch_reply.h"
#include "engine/run_observers.h"
#include "instrument/session.h"
#include "panel/panel.h"
#include "rules/plot_rule.h"
#include "rules/reading.h"
#include "run/point_steps.h"
#include "run/run_reports.h"
#include "run/run_state.h"
#include "run/stopwatch.h"
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
    Panel& p = ctx_.panel;
    p.Text7->setText(QStringLiteral("0"));
    // Its change handler leaves CH1 alone on the window.
    p.TxtChNo->setText(QStringLiteral("1"));
    st.FailedReads = 0;
    ctx_.watches.StartWatch1();
    return run::pointLoop(
        ctx_, RunMode::MainUnit, [this] { programPoint(); }, [this] { return readPoint(); });
}

void MainUnitRun::programPoint() {
    Panel& p = ctx_.panel;
    RunState& st = ctx_.state;
    p.Text5->setText(textOf(st.PointIndex));
    const std::string triggerDelay = p.TxtTrigDelay->text().toStdString();
    run::send(ctx_, "TRIG:DEL " + triggerDelay);
    ctx_.clock.pause(kAfterTriggerLineMs);
    ctx_.clock.yield();
    run::send(ctx_, "TRIGger:Source IMM");
    ctx_.clock.pause(kAfterTriggerLineMs);
    ctx_.clock.yield();

    const bool inUse = run::rowInUse(p, kCh1);
    int band = catalogue::kNoBand;
    if (inUse) {
        band = catalogue::lowerBand(band, run::comboText(p.CboFilter[kCh1]));
    }
    st.MinBand = static_cast<std::int16_t>(band);

    // A row without a function sends nothing: the meter keeps its last
    // set-up and is read all the same.
    const std::string function = run::comboText(p.CboFunc[kCh1]);
    std::optional<double> sent;
    if (function != catalogue::kNoFunction && inUse) {
        if (const catalogue::Function* f = catalogue::findFunction(function)) {
            sent = run::translateForRun(ctx_, *f, run::comboText(p.CboRange[kCh1]));
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
    InstrumentSession& session = ctx_.session;
    RunState& st = ctx_.state;
    run::send(ctx_, "READ?");
    run::storePointTime(ctx_, kTimePicture);
    session.clearFetch();
    ctx_.clock.pause(kBeforeReplyMs);
    ctx_.clock.yield();
    session.readFetch();
    // A failed read is no reading, not a reading of 0.
    const bool usable = !visa::failed(session.VisaStatus);
    if (!usable) {
        run::reportFailedRead(ctx_, session.VisaStatus);
        session.clearFetch();
    }
    st.FetchLine = fetchLine(session.FetchBuf, 1);
    const auto readings = fieldReadings(st.FetchLine, 1);
    if (readings.empty() || !readings.front()) {
        if (usable) {
            run::reportNoNumber(ctx_);
        }
        run::clearReadout(ctx_, kCh1);
    } else {
        takeReading(*readings.front(), run::currentRow(ctx_));
    }
    return run::meterSilent(ctx_, usable) ? RunOutcome::MeterSilent : RunOutcome::Continue;
}

void MainUnitRun::takeReading(double reading, int row) {
    RunState& st = ctx_.state;
    Panel& p = ctx_.panel;
    const std::string function = run::comboText(p.CboFunc[kCh1]);
    st.Reading[1] = reading;
    ctx_.observers.readingTaken(st.PointIndex, kCh1 + 1, reading);
    if (!isOverload(reading)) {
        run::scaleFromFirstReading(ctx_, function, kCh1 + 1, reading);
    }
    run::clearReadout(ctx_, kCh1);
    ctx_.clock.yield();
    run::showReading(ctx_, kCh1, reading);
    // An overload leaves the trace where the previous point put it.
    const std::optional<double> y =
        PlotYRule(ctx_.scale, function, reading, fieldValue(p.TxtCal[kCh1]), st.PlotY,
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
