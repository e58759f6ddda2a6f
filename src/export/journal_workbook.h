#pragma once

#include <QString>
#include <cstdint>
#include <vector>

#include "export/workbook_file.h"
#include "journal/journal_run.h"

namespace tq::xls {

// The workbook the save panel writes for the run a journal holds: the same
// header, one row per point number from 1 to the last one in the journal
// (a point the journal lacks is an empty row), empty cells where the run
// had no reading.
std::vector<std::uint8_t> journalWorkbook(const JournalRun& run);

// OUT for a journal when none is given: beside it, ".csv" replaced by ".xls".
QString workbookPathFor(const QString& journalPath);

}  // namespace tq::xls
