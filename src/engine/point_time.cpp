#include "engine/point_time.h"

#include "common/number_text.h"
#include "engine/run_inputs.h"
#include "engine/run_state.h"
#include "engine/stopwatch.h"
#include "store/slot_rows.h"

namespace tq::run {

int currentRow(const RunContext& ctx) {
    return CurrentRow(ctx.state.PointIndex, ctx.inputs.pointsPerScreen());
}

void storePointTime(RunContext& ctx, std::string_view picture) {
    const double seconds = ctx.watches.Watch1Elapsed() / 1000;
    // Once the screen is full the point's row holds what the scroll brought
    // in from the row above; none of that belongs to this point.
    const int row = currentRow(ctx);
    ctx.store.clearRow(row);
    ctx.store.setTime(row, Val(formatPicture(seconds, picture)));
}

SeriesSet seriesOfRun(RunMode mode) {
    return mode == RunMode::MainUnit ? SeriesSet::mainUnit() : SeriesSet::all();
}

}  // namespace tq::run
