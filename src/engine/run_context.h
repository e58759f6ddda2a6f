#pragma once

namespace tq {

class Clock;
class MeterLink;
class RecordStore;
class RunDisplay;
class RunInputs;
class RunObservers;
class Stopwatches;
struct RunState;
struct ScaleState;

// How a point, or a whole run, came to an end.
enum class RunOutcome {
    Continue,       // take the next point
    Stopped,        // the run toggle was released or the window is closing
    MeterSilent,    // the meter gave nothing usable for too many reads in a row
    ScanNeverDone,  // the meter answered, but the scan never completed
};

// Everything a run reads and writes while it goes.
struct RunContext {
    Clock& clock;
    MeterLink& link;
    ScaleState& scale;
    RecordStore& store;
    RunState& state;
    Stopwatches& watches;
    const RunInputs& inputs;
    RunDisplay& display;
    const RunObservers& observers;
};

}  // namespace tq
