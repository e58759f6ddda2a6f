#pragma once

#include <QString>
#include <iosfwd>
#include <string_view>

#include "journal/journal_run.h"

namespace tq {

// Reads a journal back. Tolerant: a journal cut at any byte (a crash, a
// copy in progress) gives every whole row before the cut; a row that cannot
// be read is left out and named in `problems` with its line number; nothing
// throws.
JournalRun readJournalText(std::string_view text);
JournalRun readJournal(std::istream& in);
// A file that cannot be opened gives an empty run with the reason in
// `problems`.
JournalRun readJournal(const QString& path);

}  // namespace tq
