#pragma once

#include <memory>

namespace tq {

class Clock;
class Form1;
class JournalWriter;
struct Options;

inline constexpr const char* kJournalWarning =
    "記錄檔無法寫入, 資料仍在記憶體 !! (Journal not written; the run goes on)";

// The journal of every run the window takes, set up from the command line
// (--journal-dir; --no-journal: none) and told of the window's runs. It
// prints "journal: PATH" on standard output as a run starts; a journal that
// cannot be written is said once per run on the warning strip, with the
// reason on standard error. Keep it for as long as the window.
std::unique_ptr<JournalWriter> attachRunJournal(Form1& form, const Options& options, Clock& clock);

}  // namespace tq
