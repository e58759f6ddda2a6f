#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>

namespace tq {

class Clock;
class InstrumentSession;
class RecordStore;
class RunObservers;
class ScaleControls;
class Stopwatches;
class TrendPlot;
struct Panel;
struct RunState;
struct ScaleState;

// What the run calls in the parts it does not own; each may be left empty.
struct RunHooks {
    // Once per scan-card point after the channels are stored in `row`: the
    // math value, Text4 and the math column (MathControls::mathStep).
    std::function<void(std::array<double, 12>& Reading, int row)> mathStep;
    // A run is starting: what showed the last run's outcome is cleared
    // (SavePanel::clearSavedPath).
    std::function<void()> runStarting;
    // End of a run with the pointer on (PointerControls::onRunEnd).
    std::function<void()> onRunEnd;
    // The Start handler has returned to idle (a close that waited for the
    // run can go on).
    std::function<void()> runFinished;
    // The math channel's formula when it is on, for the run's set-up
    // (MathControls::formulaText).
    std::function<std::optional<std::string>()> mathFormula;
};

// How a point, or a whole run, came to an end.
enum class RunOutcome {
    Continue,       // take the next point
    Stopped,        // the run toggle was released or the window is closing
    MeterSilent,    // the meter gave nothing usable for too many reads in a row
    ScanNeverDone,  // the meter answered, but the scan never completed
};

// Everything a run reads and writes while it goes.
struct RunContext {
    Panel& panel;
    Clock& clock;
    InstrumentSession& session;
    ScaleState& scale;
    ScaleControls& scaleControls;
    RecordStore& store;
    TrendPlot& plot;
    RunState& state;
    Stopwatches& watches;
    const RunHooks& hooks;
    const RunObservers& observers;
    // Set when the window wants the run over: no further point, no hold.
    const bool& stopRequested;
};

}  // namespace tq
