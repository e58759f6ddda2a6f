#include "engine/whole_run.h"

#include <algorithm>
#include <utility>

#include "common/clock.h"
#include "engine/main_unit_run.h"
#include "engine/point_time.h"
#include "engine/run_inputs.h"
#include "engine/run_observers.h"
#include "engine/run_reports.h"
#include "engine/run_state.h"
#include "engine/scan_card_run.h"
#include "rules/scale.h"
#include "store/record_store.h"
#include "store/slot_rows.h"

namespace tq::run {
namespace {

// Rows 10001 .. 10001 + L: the points' rows and the one after them.
void clearRunRows(RunContext& ctx) {
    const double L = ctx.inputs.recordLength();
    const double lastRow = std::min<double>(slotRow(1) + L, RecordStore::kLastRow);
    for (int row = slotRow(1); row <= lastRow; ++row) {
        ctx.store.clearRow(row);
        ctx.clock.yield();
    }
}

}  // namespace

void startRun(RunContext& ctx, RunSetup setup) {
    RunState& st = ctx.state;
    // An overload at the first point must not take up a plot position the
    // last run left, which may lie off the plot.
    st.PlotY = 0;
    ctx.scale.MathAutoScaled = false;
    ctx.scale.FreqAutoScaled = false;
    ctx.scale.PeriodAutoScaled = false;
    clearRunRows(ctx);
    ctx.store.beginRun(seriesOfRun(setup.mode));
    st.Setup = std::move(setup);
    st.SetupReported = false;
    st.LastFailureLostLink = false;
}

RunOutcome runPoints(RunContext& ctx) {
    return ctx.state.Setup.mode == RunMode::ScanCard ? ScanCardRun(ctx).run()
                                                     : MainUnitRun(ctx).run();
}

void finishRun(RunContext& ctx, RunOutcome outcome) {
    reportSetupOnce(ctx);
    ctx.observers.runEnded(runEndOf(outcome, ctx.state.LastFailureLostLink),
                           ctx.store.pointsTaken());
}

}  // namespace tq::run
