#include "engine/run_reports.h"

#include <cstddef>

#include "engine/meter_link.h"
#include "engine/run_inputs.h"
#include "engine/run_observers.h"
#include "engine/run_state.h"
#include "store/record_store.h"

namespace tq::run {

void reportFailedRead(RunContext& ctx, std::int32_t visaStatus) {
    ctx.state.LastFailureLostLink = ctx.link.connectionLost(visaStatus);
    const ReadFailure why =
        ctx.link.timedOut(visaStatus) ? ReadFailure::TimedOut : ReadFailure::LinkError;
    ctx.observers.readFailed(ctx.state.PointIndex, why, visaStatus);
}

void reportNoNumber(RunContext& ctx) {
    ctx.observers.readFailed(ctx.state.PointIndex, ReadFailure::NoNumber, ctx.link.status());
}

void noteSetupChannel(RunContext& ctx, int row, std::optional<double> sentRange) {
    const RunInputs& in = ctx.inputs;
    ctx.state.Setup.channels.push_back({.channel = row + 1,
                                        .function = in.function(row),
                                        .rangeText = in.range(row),
                                        .rangeValue = sentRange,
                                        .filter = in.filter(row)});
}

void reportSetupOnce(RunContext& ctx) {
    RunState& st = ctx.state;
    if (st.SetupReported) {
        return;
    }
    st.SetupReported = true;
    st.Setup.band = st.MinBand;
    ctx.observers.runStarted(st.Setup);
}

StoredPoint storedPoint(const RunContext& ctx, int row) {
    StoredPoint point{.point = ctx.state.PointIndex, .seconds = ctx.store.time(row)};
    for (int column = RecordStore::kFirstSeriesColumn; column <= RecordStore::kLastSeriesColumn;
         ++column) {
        point.values[static_cast<std::size_t>(column)] = ctx.store.value(row, column);
    }
    return point;
}

RunEnd runEndOf(RunOutcome outcome, bool lastFailureLostLink) {
    switch (outcome) {
        case RunOutcome::Continue:
            return RunEnd::Completed;
        case RunOutcome::Stopped:
            return RunEnd::Stopped;
        case RunOutcome::MeterSilent:
            return lastFailureLostLink ? RunEnd::ConnectionLost : RunEnd::MeterSilent;
        case RunOutcome::ScanNeverDone:
            return RunEnd::ScanNeverDone;
    }
    return RunEnd::Stopped;
}

}  // namespace tq::run
