#include "engine/scan_card_run.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>

#include "catalogue/catalogue.h"
#include "common/clock.h"
#include "common/number_text.h"
#include "engine/fetch_reply.h"
#include "engine/line_steps.h"
#include "engine/math_step.h"
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
    st.Setup.mathFormula = run::mathFormulaOf(ctx_.inputs);
    st.ChannelCount = ctx_.inputs.channelCount();
    // The channel field ignores a count outside 1..10 while it is typed, and
    // a scan of it would never complete (the card keeps its own count). The
    // run scans the rows the window shows, and the field says how many.
    if (!(st.ChannelCount > 0 && st.ChannelCount <= catalogue::kChannelCount)) {
        st.ChannelCount = rowsShown();
        ctx_.display.channelCount(st.ChannelCount);
    }
    st.ScanCountText = st.ChannelCount;
    st.CountLine = "Route:scan:count " + defaultText(st.ScanCountText);
    run::send(ctx_, st.CountLine);
    ctx_.clock.pause(kAfterSetupLineMs);
    st.SlowReads = 0;
    ctx_.display.slowReads(st.SlowReads);
    st.FailedReads = 0;
    ctx_.watches.StartWatch1();
    return run::pointLoop(
        ctx_, RunMode::ScanCard, [this] { programPoint(); }, [this] { return acquirePoint(); });
}

int ScanCardRun::rowsShown() const {
    int shown = 0;
    for (int row = 0; row < catalogue::kChannelCount; ++row) {
        if (ctx_.inputs.rowInUse(row)) {
            shown = row + 1;
        }
    }
    return shown;
}

void ScanCardRun::programPoint() {
    RunState& st = ctx_.state;
    ctx_.display.pointNumber(st.PointIndex);
    const std::string triggerDelay = ctx_.inputs.triggerDelayText();
    run::send(ctx_, "TRIG:DEL " + triggerDelay);
    ctx_.clock.pause(kAfterSetupLineMs);
    const std::string scanTime = ctx_.inputs.scanTimeText();
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
        if (ctx_.inputs.rowInUse(st.ChLoop)) {
            band = catalogue::lowerBand(band, ctx_.inputs.filter(st.ChLoop));
        }
    }
    st.MinBand = static_cast<std::int16_t>(band);
}

std::optional<double> ScanCardRun::programChannel(int row) {
    const std::string function = ctx_.inputs.function(row);
    if (function == catalogue::kNoFunction || !ctx_.inputs.rowInUse(row)) {
        return std::nullopt;
    }
    const catalogue::Function* f = catalogue::findFunction(function);
    if (f == nullptr) {
        return std::nullopt;
    }
    const double value = run::translateForRun(ctx_, *f, ctx_.inputs.range(row));
    run::sendSteps(ctx_, catalogue::scanCardLines(function, row + 1, value, ctx_.state.MinBand));
    return value;
}

RunOutcome ScanCardRun::acquirePoint() {
    if (const RunOutcome scanned = waitForScan(); scanned != RunOutcome::Continue) {
        abandonPoint();
        return scanned;
    }
    ctx_.display.scannedPoint(ctx_.state.PointIndex);
    run::storePointTime(ctx_, kTimePicture);
    for (int i = 0; i < catalogue::kChannelCount; ++i) {
        ctx_.display.clearReadout(i);
    }
    if (const RunOutcome fetched = fetch(); fetched != RunOutcome::Continue) {
        return fetched;
    }
    parseAndStore();
    run::mathStep(ctx_, run::currentRow(ctx_));
    return RunOutcome::Continue;
}

// A scan given up before it finished stored nothing, so it is no point: the
// counter goes back to the last point stored (empty before the first).
void ScanCardRun::abandonPoint() {
    RunState& st = ctx_.state;
    --st.PointIndex;
    ctx_.display.pointNumber(st.PointIndex > 0 ? std::optional(st.PointIndex) : std::nullopt);
}

RunOutcome ScanCardRun::waitForScan() {
    RunState& st = ctx_.state;
    st.ScanBusy = 0;
    st.ReadBusy = 0;
    if (ctx_.link.scanCardPresent()) {
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
        if (!ctx_.inputs.runOn() || ctx_.inputs.stopRequested()) {
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
    const RunInputs& in = ctx_.inputs;
    double slowest = 0;
    for (int row = 0; row < catalogue::kChannelCount; ++row) {
        if (in.rowInUse(row)) {
            slowest = std::max(slowest, catalogue::measuringSeconds(in.function(row), st.MinBand));
        }
    }
    const double perChannel = std::max(0.0, in.triggerDelay()) + std::max(in.scanTime(), slowest);
    st.SlowestChannelSeconds = std::max(st.SlowestChannelSeconds, perChannel);
    return std::max(kScanLimitFactor * st.ChannelCount * st.SlowestChannelSeconds * 1000,
                    kScanLimitFloorMs);
}

bool ScanCardRun::pollScanState() {
    RunState& st = ctx_.state;
    MeterLink& link = ctx_.link;
    run::send(ctx_, "Rout:scan:state?");
    ctx_.clock.pause(kAfterStateQueryMs);
    link.blankReply();
    ctx_.watches.StartWatch2();
    link.readReply();
    st.ReadTimeMs =
        toInt32(ctx_.watches.Watch2Elapsed()).value_or(std::numeric_limits<std::int32_t>::max());
    ctx_.display.readTime(st.ReadTimeMs);
    if (st.ReadTimeMs > kSlowReadMs) {
        ++st.SlowReads;
        ctx_.display.slowReads(st.SlowReads);
    }
    // What a failed read brought is no reply.
    const bool usable = !link.failed(link.status());
    if (!usable) {
        run::reportFailedRead(ctx_, link.status());
        link.blankReply();
    }
    st.ScanProgress = Val(link.reply());
    ctx_.display.scanProgress(st.ScanProgress);
    ctx_.clock.yield();
    if (st.ScanProgress >= st.ChannelCount) {
        st.ScanBusy = 0;
    }
    ctx_.clock.yield();
    return run::meterSilent(ctx_, usable);
}

RunOutcome ScanCardRun::fetch() {
    MeterLink& link = ctx_.link;
    // A failed fetch leaves nothing that could be taken for readings.
    link.clearFetch();
    if (link.scanCardPresent()) {
        run::send(ctx_, "fetch?");
        ctx_.clock.pause(kAfterFetchQueryMs);
        link.readFetch();
        const bool usable = !link.failed(link.status());
        if (!usable) {
            run::reportFailedRead(ctx_, link.status());
            link.clearFetch();
        }
        if (run::meterSilent(ctx_, usable)) {
            return RunOutcome::MeterSilent;
        }
    }
    ctx_.state.FetchLine = fetchLine(link.fetchReply(), ctx_.state.ChannelCount);
    return RunOutcome::Continue;
}

void ScanCardRun::parseAndStore() {
    RunState& st = ctx_.state;
    const int row = run::currentRow(ctx_);
    const auto readings = fieldReadings(st.FetchLine, catalogue::kChannelCount);
    st.FieldChannel = 1;
    if (ctx_.link.scanCardPresent() && !ctx_.link.fetchReply().empty() &&
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
    const std::string function = ctx_.inputs.function(k - 1);
    st.Reading[static_cast<std::size_t>(k)] = reading;
    ctx_.observers.readingTaken(st.PointIndex, k, reading);
    if (!isOverload(reading)) {
        run::scaleFromFirstReading(ctx_, function, k, reading);
    }
    ctx_.display.showReading(k - 1, reading);
    const std::optional<double> y =
        PlotYRule(ctx_.scale, function, reading, ctx_.inputs.calibration(k - 1), st.PlotY);
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
