#pragma once

#include "engine/run_observers.h"
#include "run/run_context.h"
#include "run/run_state.h"
#include "run/stopwatch.h"

namespace tq {

class Clock;
class InstrumentSession;
class MessageBoxes;
class RecordStore;
class ScaleControls;
class TrendPlot;
struct Panel;
struct ScaleState;

// The Start command: a whole measurement run inside its click handler. It
// locks the set-up, clears the run's store rows, runs the scan-card or the
// main-unit acquisition, and unlocks the window when the run ends.
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

    // Told of every run's events from the next run on.
    void addObserver(RunObserver* observer) { observers_.add(observer); }

    RunHooks hooks;
    RunState state;
    Stopwatches watches;

  private:
    void runOnce();
    void startSteps();
    void clearRunRows();
    void endOfRun();
    // What the observers hear of the set-up before the first point adds the
    // channels and the times sent.
    void beginSetup(bool scanCard);

    Panel& p_;
    Clock& clock_;
    InstrumentSession& session_;
    ScaleState& scale_;
    MessageBoxes& boxes_;
    RecordStore& store_;
    bool running_ = false;
    bool stopRequested_ = false;
    RunObservers observers_;
    RunContext ctx_;
};

}  // namespace tq
