#include "run/point_steps.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPalette>
#include <QString>
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <utility>

#include "common/clock.h"
#include "common/number_text.h"
#include "display/scale_controls.h"
#include "display/trend_plot.h"
#include "engine/run_observers.h"
#include "instrument/session.h"
#include "panel/look.h"
#include "panel/panel.h"
#include "panel/readout_colour.h"
#include "rules/plot_rule.h"
#include "rules/reading.h"
#include "rules/scale.h"
#include "run/run_reports.h"
#include "run/run_state.h"
#include "run/stopwatch.h"
#include "store/record_store.h"

namespace tq::run {
namespace {

constexpr std::string_view kFrequency = "Frequency";
constexpr std::string_view kPeriod = "Period";
// Longer than any interval anyone means, and still a whole number of
// milliseconds in 64 bits.
constexpr double kLongestIntervalMs = 9.0e15;

bool rangeChangedByHand(const ScaleState& scale, std::string_view function) {
    if (function == kFrequency) {
        return scale.FreqRangeChanged;
    }
    if (function == kPeriod) {
        return scale.PeriodRangeChanged;
    }
    return false;
}

// The new full scale shows on the left axis only when it shows channel k.
void refreshAxisFor(RunContext& ctx, int k) {
    if (ctx.scaleControls.leftAxisChannel() == k) {
        ctx.state.ScaleChannel = k;
        ctx.scaleControls.refreshLeftAxis(k);
    }
}

}  // namespace

std::string comboText(const QComboBox* combo) {
    return combo->currentText().toStdString();
}

bool rowInUse(const Panel& panel, int row) {
    return !panel.FrameCH.at(static_cast<std::size_t>(row))->isHidden();
}

void send(RunContext& ctx, std::string line) {
    ctx.state.CmdLine = std::move(line);
    ctx.session.writeLine(ctx.state.CmdLine);
}

void sendSteps(RunContext& ctx, const std::vector<catalogue::CommandStep>& steps) {
    for (const catalogue::CommandStep& step : steps) {
        send(ctx, step.line);
        if (step.pauseAfterMs > 0) {
            ctx.clock.pause(step.pauseAfterMs);
        }
        if (step.yieldAfter) {
            ctx.clock.yield();
        }
    }
}

double translateForRun(RunContext& ctx, const catalogue::Function& function,
                       std::string_view range) {
    using catalogue::RunTranslation;
    const bool translate = function.runTranslation == RunTranslation::Always ||
                           (function.runTranslation == RunTranslation::UnlessRangeChanged &&
                            !rangeChangedByHand(ctx.scale, function.name));
    if (translate) {
        ctx.scaleControls.TransRange(function.name, range);
    } else if (function.runTranslation == RunTranslation::Never) {
        // A resistance row is never translated here, so the full scale stays
        // that of the row on the left axis; but the range it sends must be its
        // own, or a row off the axis is measured on another row's range (or 0)
        // and overloads. "AUTO" names no value and keeps the last one.
        if (const std::optional<double> own = catalogue::rangeValue(range)) {
            return *own;
        }
    } else if (const std::optional<double> own = catalogue::rangeValue(range)) {
        // A Frequency or Period range picked by hand is not translated here,
        // so the autoscaled full scale survives; but the input range sent
        // must still be the row's own. Left alone, it would be whatever an
        // earlier axis translation left, or 0 before any, and the meter
        // would measure on its lowest range and overload.
        if (function.name == kFrequency) {
            ctx.scale.FreqInputRange = *own;
        } else if (function.name == kPeriod) {
            ctx.scale.PeriodInputRange = *own;
        }
    }
    return sentRangeValue(ctx.scale, function.name).value_or(0);
}

bool meterSilent(RunContext& ctx, bool usable) {
    ctx.state.FailedReads = usable ? 0 : ctx.state.FailedReads + 1;
    return ctx.state.FailedReads >= kSilentReadLimit;
}

void clearReadout(RunContext& ctx, int i) {
    QLineEdit* box = ctx.panel.TxtDshow.at(static_cast<std::size_t>(i));
    box->setText(QString());
    colourReadout(box, false);
}

void showReading(RunContext& ctx, int i, double reading) {
    QLineEdit* box = ctx.panel.TxtDshow.at(static_cast<std::size_t>(i));
    box->setText(textOf(reading));
    if (isOverload(reading)) {
        colourReadout(box, true);
    }
}

void scaleFromFirstReading(RunContext& ctx, std::string_view function, int k, double reading) {
    if (function == kFrequency && !ctx.scale.FreqAutoScaled &&
        autoscaleFrequency(ctx.scale, reading)) {
        refreshAxisFor(ctx, k);
    }
    ctx.clock.yield();
    if (function == kPeriod && !ctx.scale.PeriodAutoScaled && autoscalePeriod(ctx.scale, reading)) {
        refreshAxisFor(ctx, k);
    }
}

int currentRow(const RunContext& ctx) {
    return CurrentRow(ctx.state.PointIndex, ctx.plot.pointsPerScreen());
}

void storePointTime(RunContext& ctx, std::string_view picture) {
    const double seconds = ctx.watches.Watch1Elapsed() / 1000;
    // Once the screen is full the point's row holds what the scroll brought
    // in from the row above; none of that belongs to this point.
    const int row = currentRow(ctx);
    ctx.store.clearRow(row);
    ctx.store.setTime(row, Val(formatPicture(seconds, picture)));
}

std::int64_t intervalMs(double seconds) {
    const double ms = std::nearbyint(seconds * 1000);
    if (!(ms > 0)) {
        return 0;
    }
    return static_cast<std::int64_t>(std::min(ms, kLongestIntervalMs));
}

RunOutcome endOfPoint(RunContext& ctx) {
    const Panel& p = ctx.panel;
    const auto stopped = [&p, &ctx] { return !p.ChkTest[0]->isChecked() || ctx.stopRequested; };
    if (stopped()) {
        return RunOutcome::Stopped;
    }
    while (!p.ChkTest[1]->isChecked() && !ctx.stopRequested) {
        ctx.clock.idle();
    }
    ctx.clock.wait(intervalMs(fieldValue(p.TxtSleep)), stopped);
    // A stop during the hold or the interval ends the run here: the meter is
    // not sent another point's set-up it will never be asked for.
    return stopped() ? RunOutcome::Stopped : RunOutcome::Continue;
}

RunOutcome pointLoop(RunContext& ctx, RunMode mode, const std::function<void()>& programPoint,
                     const std::function<RunOutcome()>& acquirePoint) {
    RunState& st = ctx.state;
    // The loop's end is fixed here; the counter must stay countable.
    const std::int32_t N = std::min(toInt32(fieldValue(ctx.panel.TxtRecordLen)).value_or(0),
                                    std::numeric_limits<std::int32_t>::max() - 1);
    st.Setup.recordLength = N;
    // A run that ends after the window moved on for its latest point (a
    // stop, a meter gone silent inside the next point) moves it back: the
    // last point taken stays at the right edge, where review and export
    // look for the newest point.
    bool advanced = false;
    const auto end = [&](RunOutcome outcome) {
        if (advanced) {
            ctx.plot.RetreatWindow(mode);
        }
        return outcome;
    };
    for (st.PointIndex = 1; st.PointIndex <= N; ++st.PointIndex) {
        programPoint();
        reportSetupOnce(ctx);
        ctx.observers.pointStarted(st.PointIndex);
        if (const RunOutcome acquired = acquirePoint(); acquired != RunOutcome::Continue) {
            return end(acquired);
        }
        ctx.store.notePointTaken(st.PointIndex);
        ctx.observers.pointStored(storedPoint(ctx, currentRow(ctx)));
        ctx.plot.RunRedraw(st.PointIndex, mode);
        advanced = ctx.plot.AdvanceWindow(st.PointIndex, mode);
        if (const RunOutcome next = endOfPoint(ctx); next != RunOutcome::Continue) {
            return end(next);
        }
    }
    return RunOutcome::Continue;
}

}  // namespace tq::run
