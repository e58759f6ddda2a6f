#pragma once

namespace tq {

struct Options;

// tq4700 --view JOURNAL.csv: the journal in the Analysis window alone, with
// no meter and no front panel. With --stats FROM TO it prints every trace's
// figures between the two times as CSV instead; with --screenshot it renders
// the window to a file. What could not be read is said on stderr (and above
// the plot); what could be read is still shown. Returns the exit status.
int runJournalView(const Options& options);
// --view JOURNAL.csv --stats FROM TO alone: needs no window system at all.
int printJournalStats(const Options& options);

}  // namespace tq
