#include "engine/point_loop.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "common/clock.h"
#include "common/number_text.h"
#include "engine/point_time.h"
#include "engine/run_display.h"
#include "engine/run_inputs.h"
#include "engine/run_observers.h"
#include "engine/run_reports.h"
#include "engine/run_state.h"
#include "store/record_store.h"

namespace tq::run {
namespace {

// Longer than any interval anyone means, and still a whole number of
// milliseconds in 64 bits.
constexpr double kLongestIntervalMs = 9.0e15;

bool stopped(const RunContext& ctx) {
    return !ctx.inputs.runOn() || ctx.inputs.stopRequested();
}

}  // namespace

bool meterSilent(RunContext& ctx, bool usable) {
    ctx.state.FailedReads = usable ? 0 : ctx.state.FailedReads + 1;
    return ctx.state.FailedReads >= kSilentReadLimit;
}

std::int64_t intervalMs(double seconds) {
    const double ms = std::nearbyint(seconds * 1000);
    if (!(ms > 0)) {
        return 0;
    }
    return static_cast<std::int64_t>(std::min(ms, kLongestIntervalMs));
}

bool advanceWindow(RunContext& ctx, std::int32_t PointIndex, RunMode mode) {
    const double N = ctx.inputs.pointsPerScreen();
    const bool lastPoint = ctx.inputs.recordLength() == PointIndex;
    const bool stopping = !ctx.inputs.runOn();
    if (lastPoint || stopping || !(N < PointIndex)) {
        return false;
    }
    ctx.store.scroll(seriesOfRun(mode));
    ctx.clock.yield();
    return true;
}

RunOutcome endOfPoint(RunContext& ctx) {
    if (stopped(ctx)) {
        return RunOutcome::Stopped;
    }
    while (ctx.inputs.held() && !ctx.inputs.stopRequested()) {
        ctx.clock.idle();
    }
    ctx.clock.wait(intervalMs(ctx.inputs.intervalSeconds()), [&ctx] { return stopped(ctx); });
    // A stop during the hold or the interval ends the run here: the meter is
    // not sent another point's set-up it will never be asked for.
    return stopped(ctx) ? RunOutcome::Stopped : RunOutcome::Continue;
}

RunOutcome pointLoop(RunContext& ctx, RunMode mode, const std::function<void()>& programPoint,
                     const std::function<RunOutcome()>& acquirePoint) {
    RunState& st = ctx.state;
    // The loop's end is fixed here; the counter must stay countable.
    const std::int32_t N = std::min(toInt32(ctx.inputs.recordLength()).value_or(0),
                                    std::numeric_limits<std::int32_t>::max() - 1);
    st.Setup.recordLength = N;
    // A run that ends after the window moved on for its latest point (a
    // stop, a meter gone silent inside the next point) moves it back: the
    // last point taken stays at the right edge, where review and export
    // look for the newest point.
    bool advanced = false;
    const auto end = [&](RunOutcome outcome) {
        if (advanced) {
            ctx.store.scrollReverse(seriesOfRun(mode));
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
        ctx.display.redraw(st.PointIndex, mode);
        advanced = advanceWindow(ctx, st.PointIndex, mode);
        if (const RunOutcome next = endOfPoint(ctx); next != RunOutcome::Continue) {
            return end(next);
        }
    }
    return RunOutcome::Continue;
}

}  // namespace tq::run
