#include "run/run_reports.h"

#include <QComboBox>
#include <cstddef>

#include "engine/run_observers.h"
#include "instrument/visa_types.h"
#include "panel/panel.h"
#include "run/run_state.h"
#include "store/record_store.h"

namespace tq::run {

void reportFailedRead(RunContext& ctx, std::int32_t visaStatus) {
    ctx.state.LastFailedStatus = visaStatus;
    const ReadFailure why =
        visaStatus == visa::VI_ERROR_TMO ? ReadFailure::TimedOut : ReadFailure::LinkError;
    ctx.observers.readFailed(ctx.state.PointIndex, why, visaStatus);
}

void reportNoNumber(RunContext& ctx) {
    ctx.observers.readFailed(ctx.state.PointIndex, ReadFailure::NoNumber, visa::VI_SUCCESS);
}

void noteSetupChannel(RunContext& ctx, int row, std::optional<double> sentRange) {
    const auto i = static_cast<std::size_t>(row);
    const Panel& p = ctx.panel;
    ctx.state.Setup.channels.push_back({.channel = row + 1,
                                        .function = p.CboFunc[i]->currentText().toStdString(),
                                        .rangeText = p.CboRange[i]->currentText().toStdString(),
                                        .rangeValue = sentRange,
                                        .filter = p.CboFilter[i]->currentText().toStdString()});
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

RunEnd runEndOf(RunOutcome outcome, std::int32_t lastFailedStatus) {
    switch (outcome) {
        case RunOutcome::Continue:
            return RunEnd::Completed;
        case RunOutcome::Stopped:
            return RunEnd::Stopped;
        case RunOutcome::MeterSilent:
            return lastFailedStatus == visa::VI_ERROR_CONN_LOST ? RunEnd::ConnectionLost
                                                                : RunEnd::MeterSilent;
        case RunOutcome::ScanNeverDone:
            return RunEnd::ScanNeverDone;
    }
    return RunEnd::Stopped;
}

}  // namespace tq::run
