#include "run/scan_card_run.h"

#include <QComboBox>
#include <QLineEdit>
#include <QString>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
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

constexpr int kAfterSetupLineMs = 50;  // trigger delay, scan timer, scan count
constexpr int kAfterStateQueryMs = 50;
constexpr int kBetweenPollsMs = 100;
constexpr int kAfterFetchQueryMs = 20;
// A scan-state read slower than this is counted on the diagnostic panel.
constexpr std::int32_t kSlowReadMs = 900;
constexpr const char* kTimePicture = "######0.0#";
// A scan that has taken this many times what its settings need, and at
// least the floor, is taken as never completing.
constexpr double kScanLimitFactor = 10;
constexpr double kScanLimitFloorMs = 30000;

}  // namespace

RunOutcome ScanCardRun::run() {
    RunState& st = ctx_.state;
    Panel& p = ctx_.panel;
    st.ChannelCount = fieldValue(p.TxtChNo);
    // The channel field ignores a count outside 1..10 while it is typed, and
    // a scan of it would never complete (the card keeps its own count). The
    // run scans the rows the window shows, and the field says how many.
    if (!(st.ChannelCount > 0 && st.ChannelCount <= catalogue::kChannelCount)) {
        st.ChannelCount = rowsShown();
        p.TxtChNo->setText(textOf(st.ChannelCount));
    }
    st.ScanCountText = st.ChannelCount;
    st.CountLine = "Route:scan:count " + defaultText(st.ScanCountText);
    run::send(ctx_, st.CountLine);
    ctx_.clock.pause(kAfterSetupLineMs);
    p.Text7->setText(QStringLiteral("0"));
    st.FailedReads = 0;
    ctx_.watches.StartWatch1();
    return run::pointLoop(
        ctx_, RunMode::ScanCard, [this] { programPoint(); }, [this] { return acquirePoint(); });
}

int ScanCardRun::rowsShown() const {
    int shown = 0;
    for (int row = 0; row < catalogue::kChannelCount; ++row) {
        if (run::rowInUse(ctx_.panel, row)) {
            shown = row + 1;
        }
    }
    return shown;
}

void ScanCardRun::programPoint() {
    Panel& p = ctx_.panel;
    RunState& st = ctx_.state;
    p.Text5->setText(textOf(st.PointIndex));
    const std::string triggerDelay = p.TxtTrigDelay->text().toStdString();
    run::send(ctx_, "TRIG:DEL " + triggerDelay);
    ctx_.clock.pause(kAfterSetupLineMs);
    const std::string scanTime = p.TxtScanTimer->text().toStdString();
    run::send(ctx_, "ROUT:SCAN:TIMER " + scanTime);
    ctx_.clock.pause(kAfterSetupLineMs);
    bandScan();
    const bool first = !st.SetupReported;
    if (first) {
        st.Setup.triggerDelay = triggerDelay;
        st.Setup.scanTime = scanTime;
    }
    for (st.ChLoop = 0; st.ChLoop < catalogue::kChannelCount; ++st.ChLoop) {
        const std::optional<double> sent = programChannel(st.ChLoop);
        if (first && st.ChLoop < st.ChannelCount) {
            run::noteSetupChannel(ctx_, st.ChLoop, sent);
        }
        // Every slot takes its time, used or not.
        ctx_.clock.pause(catalogue::kChannelSlotPauseMs);
        ctx_.clock.yield();
    }
    ctx_.clock.yield();
    run::send(ctx_, "ROUT:SCAN:STEP");
}

// The band of every scanned row counts, whatever its function: the card
// has one filter for all its AC channels.
void ScanCardRun::bandScan() {
    RunState& st = ctx_.state;
    int band = catalogue::kNoBand;
    for (st.ChLoop = 0; st.ChLoop <= st.ChannelCount - 1 && st.ChLoop < catalogue::kChannelCount;
         ++st.ChLoop) {
        if (run::rowInUse(ctx_.panel, st.ChLoop)) {
            const auto i = static_cast<std::size_t>(st.ChLoop);
            band = catalogue::lowerBand(band, run::comboText(ctx_.panel.CboFilter[i]));
        }
    }
    st.MinBand = static_cast<std::int16_t>(band);
}

std::optional<double> ScanCardRun::programChannel(int row) {
    const auto i = static_cast<std::size_t>(row);
    const std::string function = run::comboText(ctx_.panel.CboFunc[i]);
    if (function == catalogue::kNoFunction || !run::rowInUse(ctx_.panel, row)) {
        return std::nullopt;
    }
    const catalogue::Function* f = catalogue::findFunction(function);
    if (f == nullptr) {
        return std::nullopt;
    }
    const double value = run::translateForRun(ctx_, *f, run::comboText(ctx_.panel.CboRange[i]));
    run::sendSteps(ctx_, catalogue::scanCardLines(function, row + 1, value, ctx_.state.MinBand));
    return value;
}

RunOutcome ScanCardRun::acquirePoint() {
    Panel& p = ctx_.panel;
    if (const RunOutcome scanned = waitForScan(); scanned != RunOutcome::Continue) {
        abandonPoint();
        return scanned;
    }
    p.Text8->setText(textOf(ctx_.state.PointIndex));
    run::storePointTime(ctx_, kTimePicture);
    for (int i = 0; i < catalogue::kChannelCount; ++i) {
        run::clearReadout(ctx_, i);
    }
    if (const RunOutcome fetched = fetch(); fetched != RunOutcome::Continue) {
        return fetched;
    }
    parseAndStore();
    if (ctx_.hooks.mathStep) {
        ctx_.hooks.mathStep(ctx_.state.Reading, run::currentRow(ctx_));
    }
    return RunOutcome::Continue;
}

// A scan given up before it finished stored nothing, so it is no point: the
// counter goes back to the last point stored (empty before the first).
void ScanCardRun::abandonPoint() {
    RunState& st = ctx_.state;
    --st.PointIndex;
    ctx_.panel.Text5->setText(st.PointIndex > 0 ? textOf(st.PointIndex) : QString());
}

RunOutcome ScanCardRun::waitForScan() {
    RunState& st = ctx_.state;
    st.ScanBusy = 0;
    st.ReadBusy = 0;
    if (ctx_.session.ScanCardPresent == 1) {
        st.ScanBusy = 1;
    }
    const std::int64_t started = ctx_.clock.tickMs();
    const double limitMs = scanLimitMs();
    while (st.ScanBusy + st.ReadBusy != 0) {
        ctx_.clock.yield();
        if (st.ScanBusy == 1 && pollScanState()) {
            return RunOutcome::MeterSilent;
        }
        ctx_.clock.pause(kBetweenPollsMs);
        if (st.ScanBusy + st.ReadBusy == 0) {
            break;
        }
        // A scan that never completes (a meter that answers but never gets
        // there) must not hold the run: releasing the run toggle ends it,
        // and so does the time any such scan could take.
        if (!ctx_.panel.ChkTest[0]->isChecked() || ctx_.stopRequested) {
            return RunOutcome::Stopped;
        }
        if (static_cast<double>(ctx_.clock.tickMs() - started) > limitMs) {
            return RunOutcome::ScanNeverDone;
        }
    }
    return RunOutcome::Continue;
}

// Every channel waits the trigger delay, then the longer of the scan time
// and its measurement; the slowest scanned function is taken for all. A
// value the meter refuses (a negative delay) leaves it with an earlier one,
// so the slowest channel time sent so far counts.
double ScanCardRun::scanLimitMs() {
    RunState& st = ctx_.state;
    const Panel& p = ctx_.panel;
    double slowest = 0;
    for (int row = 0; row < catalogue::kChannelCount; ++row) {
        if (run::rowInUse(p, row)) {
            const auto i = static_cast<std::size_t>(row);
            slowest = std::max(
                slowest, catalogue::measuringSeconds(run::comboText(p.CboFunc[i]), st.MinBand));
        }
    }
    const double perChannel =
        std::max(0.0, fieldValue(p.TxtTrigDelay)) + std::max(fieldValue(p.TxtScanTimer), slowest);
    st.SlowestChannelSeconds = std::max(st.SlowestChannelSeconds, perChannel);
    return std::max(kScanLimitFactor * st.ChannelCount * st.SlowestChannelSeconds * 1000,
                    kScanLimitFloorMs);
}

bool ScanCardRun::pollScanState() {
    RunState& st = ctx_.state;
    Panel& p = ctx_.panel;
    InstrumentSession& session = ctx_.session;
    run::send(ctx_, "Rout:scan:state?");
    ctx_.clock.pause(kAfterStateQueryMs);
    session.blankReply();
    ctx_.watches.StartWatch2();
    session.readReply();
    st.ReadTimeMs =
        toInt32(ctx_.watches.Watch2Elapsed()).value_or(std::numeric_limits<std::int32_t>::max());
    p.Text6->setText(textOf(st.ReadTimeMs));
    if (st.ReadTimeMs > kSlowReadMs) {
        p.Text7->setText(QString::fromStdString(numberText(fieldValue(p.Text7) + 1)));
    }
    // What a failed read brought is no reply.
    const bool usable = !visa::failed(session.VisaStatus);
    if (!usable) {
        run::reportFailedRead(ctx_, session.VisaStatus);
        session.blankReply();
    }
    st.ScanProgress = Val(session.reply());
    p.Text1->setText(textOf(st.ScanProgress));
    ctx_.clock.yield();
    if (st.ScanProgress >= st.ChannelCount) {
        st.ScanBusy = 0;
    }
    ctx_.clock.yield();
    return run::meterSilent(ctx_, usable);
}

RunOutcome ScanCardRun::fetch() {
    InstrumentSession& session = ctx_.session;
    // A failed fetch leaves nothing that could be taken for readings.
    session.clearFetch();
    if (session.ScanCardPresent == 1) {
        run::send(ctx_, "fetch?");
        ctx_.clock.pause(kAfterFetchQueryMs);
        session.readFetch();
        const bool usable = !visa::failed(session.VisaStatus);
        if (!usable) {
            run::reportFailedRead(ctx_, session.VisaStatus);
            session.clearFetch();
        }
        if (run::meterSilent(ctx_, usable)) {
            return RunOutcome::MeterSilent;
        }
    }
    ctx_.state.FetchLine = fetchLine(session.FetchBuf, ctx_.state.ChannelCount);
    return RunOutcome::Continue;
}

void ScanCardRun::parseAndStore() {
    RunState& st = ctx_.state;
    const int row = run::currentRow(ctx_);
    const auto readings = fieldReadings(st.FetchLine, catalogue::kChannelCount);
    st.FieldChannel = 1;
    if (ctx_.session.ScanCardPresent == 1 && !ctx_.session.FetchBuf.empty() &&
        std::ranges::none_of(readings, [](const auto& r) { return r.has_value(); })) {
        run::reportNoNumber(ctx_);
    }
    for (std::size_t field = 0; field < readings.size(); ++field) {
        const int k = st.FieldChannel;
        st.ScanProgress = static_cast<double>(1 + field * kReadingFieldWidth);
        // A field without a number is no reading: the box stays empty and
        // the channel keeps its last reading.
        if (readings[field]) {
            takeReading(k, *readings[field], row);
        }
        st.FieldChannel = static_cast<std::int16_t>(k + 1);
        ctx_.clock.yield();
    }
}

void ScanCardRun::takeReading(int k, double reading, int row) {
    RunState& st = ctx_.state;
    Panel& p = ctx_.panel;
    const auto i = static_cast<std::size_t>(k - 1);
    const std::string function = run::comboText(p.CboFunc[i]);
    st.Reading[static_cast<std::size_t>(k)] = reading;
    ctx_.observers.readingTaken(st.PointIndex, k, reading);
    if (!isOverload(reading)) {
        run::scaleFromFirstReading(ctx_, function, k, reading);
    }
    run::showReading(ctx_, k - 1, reading);
    const std::optional<double> y =
        PlotYRule(ctx_.scale, function, reading, fieldValue(p.TxtCal[i]), st.PlotY);
    ctx_.clock.yield();
    // A reading that is no finite number is shown, never stored.
    if (!y) {
        return;
    }
    st.PlotY = *y;
    if (k <= st.ChannelCount) {
        st.PlotYText = numberText(st.PlotY);
        if (catalogue::findFunction(function) != nullptr) {
            ctx_.store.setPlotY(row, k, storedTwip(st.PlotY));
        }
        ctx_.store.setValue(row, k, reading);
    }
}

}  // namespace tq
