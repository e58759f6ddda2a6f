#pragma once

#include "engine/run_context.h"
#include "engine/run_observers.h"
#include "engine/run_state.h"
#include "engine/stopwatch.h"
#include "run/panel_run_display.h"
#include "run/panel_run_inputs.h"
#include "run/session_link.h"

#include <functional>

namespace tq {

inline constexpr const char* kMeterSilentMessage =
    "儀器沒有回應,測試已停止!! (The meter stopped answering; the run was stopped.)";
inline constexpr const char* kScanNeverDoneMessage =
    "掃描沒有完成,測試已停止!! (The scan never completed; the run was stopped.)";

// What the run calls in the parts it does not own; each may be left empty.
struct RunHooks {
    // A run is starting: what showed the last run's outcome is cleared
    // (SavePanel::clearSavedPath).
    std::function<void()> runStarting;
    // End of a run with the pointer on (PointerControls::onRunEnd).
    std::function<void()> onRunEnd;
    // The Start handler has returned to idle (a close that waited for the
    // run can go on).
    std::function<void()> runFinished;
};

class Clock;
class InstrumentSession;
class MessageBoxes;
class RecordStore;
class ScaleControls;
class TrendPlot;
struct Panel;
struct ScaleState;

// The Start command: a whole measurement run inside its click handler. It
// locks the set-up, runs the scan-card or the main-unit acquisition, and
// unlocks the window when the run ends.
class RunDriver {
  public:
    RunDriver(Panel& panel, Clock& clock, InstrumentSession& session, ScaleState& scale,
              ScaleControls& scaleControls, RecordStore& store, TrendPlot& plot,
              MessageBoxes& boxes);

    // Command1 runs the Start handler on a click.
    void connectEvents();

    // Returns when the run has ended. A click while a run goes is ignored.
    void Command1_Click();

    // The window is closing: the run ends after the point in hand (a held
    // run at once) through the usual end-of-run steps.
    void requestStop();
    bool isRunning() const { return running_; }
    // What the run engine works with (benchmarks drive its steps).
    RunContext& context() { return ctx_; }

    // Told of every run's events from the next run on.
    void addObserver(RunObserver* observer) { observers_.add(observer); }

    RunHooks hooks;
    RunState state;
    Stopwatches watches;

  private:
    void runOnce();
    void startSteps();
    void endOfRun();
    // What the window knows of the set-up before the first point adds the
    // channels and the times sent.
    RunSetup setupKnown(bool scanCard) const;

    Panel& p_;
    InstrumentSession& session_;
    MessageBoxes& boxes_;
    RecordStore& store_;
    TrendPlot& plot_;
    ScaleControls& scaleControls_;
    bool running_ = false;
    bool stopRequested_ = false;
    RunObservers observers_;
    SessionLink link_;
    PanelRunInputs inputs_;
    PanelRunDisplay display_;
    RunContext ctx_;
};

}  // namespace tq
