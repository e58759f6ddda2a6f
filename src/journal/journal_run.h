#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/run_observer.h"

namespace tq {

// A run as its journal file holds it: what the journal writer wrote and the
// journal reader gives back. A journal cut short (a crash) reads up to its
// last whole row; what could not be read is named in `problems`.
struct JournalRun {
    // Every "# key: value" line of the head, in file order.
    std::vector<std::pair<std::string, std::string>> meta;
    // The set-up the head describes (mode, resource, identity, channels,
    // times, record length, math formula).
    RunSetup setup;
    // The channel numbers of the reading columns, in column order (1..10),
    // and whether a math column follows them.
    std::vector<int> channels;
    bool hasMath = false;
    // The ten channel rows' function texts when the run started (the
    // workbook's column titles); empty when the head does not give them.
    std::vector<std::string> rowFunctions;
    std::vector<StoredPoint> points;
    // How the run ended, from the last "# " line; none for a journal whose
    // run never said (a crash).
    std::optional<RunEnd> end;
    // The points the run took, as its end line says.
    std::optional<std::int32_t> pointsTaken;
    // Lines that could not be read, each with its line number and reason.
    std::vector<std::string> problems;
};

}  // namespace tq
