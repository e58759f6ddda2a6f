#pragma once

#include <memory>

namespace tq {

class Clock;
class JournalWriter;
struct Options;
struct Panel;

inline constexpr const char* kJournalWarning =
    "記錄檔無法寫入, 資料仍在記憶體 !! (Journal not written; the run goes on)";

// The journal every run of the window writes, set up from the command line
// (--journal-dir, --no-journal: none). It prints "journal: PATH" on
// standard output as a run starts; a journal that cannot be written is said
// once per run on the warning strip, with the reason on standard error.
std::unique_ptr<JournalWriter> makeRunJournal(const Options& options, Clock& clock, Panel& panel);

}  // namespace tq
