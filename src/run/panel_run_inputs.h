#pragma once

#include "engine/run_inputs.h"

namespace tq {

class TrendPlot;
struct Panel;

// A run's inputs from the window's controls, read when the run asks.
class PanelRunInputs : public RunInputs {
  public:
    PanelRunInputs(const Panel& panel, const TrendPlot& plot, const bool& stopRequested)
        : p_(panel), plot_(plot), stopRequested_(stopRequested) {}

    std::string triggerDelayText() const override;
    std::string scanTimeText() const override;
    double triggerDelay() const override;
    double scanTime() const override;
    double intervalSeconds() const override;
    double recordLength() const override;
    double channelCount() const override;
    double pointsPerScreen() const override;

    bool rowInUse(int row) const override;
    std::string function(int row) const override;
    std::string range(int row) const override;
    std::string filter(int row) const override;
    double calibration(int row) const override;
    // The math row's choices: a text that names no channel or operator
    // keeps the choice before it, from run to run.
    std::optional<MathInputs> math() const override;

    bool runOn() const override;
    bool held() const override;
    bool stopRequested() const override { return stopRequested_; }

  private:
    const Panel& p_;
    const TrendPlot& plot_;
    const bool& stopRequested_;
    mutable MathSetup mathSetup_;
};

}  // namespace tq
