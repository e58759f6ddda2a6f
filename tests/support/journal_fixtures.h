#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <utility>
#include <vector>

#include "journal/journal_run.h"

// Runs and points as the record stores them and the journal holds them, for
// the tests of what writes and reads them: the journal, the analysis core
// and the Analysis window.
namespace tq::test {

inline RunChannelSetup channelRow(int channel, const char* function) {
    RunChannelSetup row;
    row.channel = channel;
    row.function = function;
    return row;
}

// Point k with its readings by store column (1..10, 11 the math value).
inline StoredPoint storedPoint(
    std::int32_t k, std::optional<double> seconds,
    std::initializer_list<std::pair<int, std::optional<double>>> readings = {}) {
    StoredPoint p{.point = k, .seconds = seconds};
    for (const auto& [column, value] : readings) {
        p.values.at(static_cast<std::size_t>(column)) = value;
    }
    return p;
}

// A journal's run over these channel rows, with a math column when asked.
inline JournalRun journalRun(std::vector<RunChannelSetup> rows, bool math,
                             std::vector<StoredPoint> points = {}) {
    JournalRun run;
    for (const RunChannelSetup& row : rows) {
        run.channels.push_back(row.channel);
    }
    run.setup.channels = std::move(rows);
    run.hasMath = math;
    run.points = std::move(points);
    return run;
}

}  // namespace tq::test
