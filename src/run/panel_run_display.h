#pragma once

#include "engine/run_display.h"

namespace tq {

class ScaleControls;
class TrendPlot;
struct Panel;

// A run shown on the window: Text1/4/5/6/7/8, the read-out boxes, the scale
// labels and the plot.
class PanelRunDisplay : public RunDisplay {
  public:
    PanelRunDisplay(Panel& panel, ScaleControls& scaleControls, TrendPlot& plot)
        : p_(panel), scaleControls_(scaleControls), plot_(plot) {}

    void pointNumber(std::optional<std::int32_t> point) override;
    void scannedPoint(std::int32_t point) override;
    void readTime(std::int32_t ms) override;
    void slowReads(double count) override;
    void scanProgress(double channelsDone) override;
    void channelCount(double count) override;
    void clearReadout(int box) override;
    void showReading(int box, double reading) override;
    std::optional<int> leftAxisChannel() const override;
    void refreshLeftAxis(int channel) override;
    void showMath(double value) override;
    void refreshMathAxis() override;
    void redraw(std::int32_t point, RunMode mode) override;

  private:
    Panel& p_;
    ScaleControls& scaleControls_;
    TrendPlot& plot_;
};

}  // namespace tq
