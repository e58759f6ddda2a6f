#pragma once

#include <QString>

namespace tq {

// tq4700 --export-xls JOURNAL [OUT]: the workbook of a run journal, without
// a display or a meter. OUT defaults to the journal's name with .xls; an
// existing file is never replaced (-2, -3, ... as the save panel does).
// Prints "saved: PATH" on standard output; lines of the journal that could
// not be read, and any failure, on standard error. Returns the exit status:
// 0 written, 1 not.
int exportJournalWorkbook(const QString& journalPath, const QString& outPath);

}  // namespace tq
