#pragma once

#include "engine/run_context.h"

namespace tq {

// A main-unit run: CH1 through the meter's own input. Every point sets the
// trigger, configures CH1's function and range, reads one value with
// "READ?", and shows, stores and plots it.
class MainUnitRun {
  public:
    explicit MainUnitRun(RunContext& ctx) : ctx_(ctx) {}

    RunOutcome run();

    void programPoint();
    // "READ?", the time stamp, the reply, the read-out and the store.
    RunOutcome readPoint();

  private:
    void takeReading(double reading, int row);

    RunContext& ctx_;
};

}  // namespace tq
