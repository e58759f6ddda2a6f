#pragma once

#include <cstdint>
#include <optional>

#include "catalogue/run_mode.h"

namespace tq {

// What a run shows while it goes, on whatever shows it: the counters and
// read-outs, the left axis after an autoscale, the math value with its axis
// and the redraw. Read-out boxes are 0-based (0 is CH1).
class RunDisplay {
  public:
    virtual ~RunDisplay() = default;

    // The point being taken; none when no point is.
    virtual void pointNumber(std::optional<std::int32_t> point) = 0;
    // The point whose scan completed.
    virtual void scannedPoint(std::int32_t point) = 0;
    // The latest scan-state read: its time, then (after the slow-read
    // count where it was slow) the channels done.
    virtual void readTime(std::int32_t ms) = 0;
    virtual void slowReads(double count) = 0;
    virtual void scanProgress(double channelsDone) = 0;
    // The channel count the run scans, where it corrected the field's.
    virtual void channelCount(double count) = 0;

    virtual void clearReadout(int box) = 0;
    // A reading, marked where it is an overload.
    virtual void showReading(int box, double reading) = 0;

    // The channel on the left axis, and its rewrite after an autoscale.
    virtual std::optional<int> leftAxisChannel() const = 0;
    virtual void refreshLeftAxis(int channel) = 0;

    // The math value a scan-card point formed, and the right axis once the
    // first value of a run scaled it.
    virtual void showMath(double value) = 0;
    virtual void refreshMathAxis() = 0;
    // After every point is stored: the plot from the store.
    virtual void redraw(std::int32_t point, RunMode mode) = 0;
};

}  // namespace tq
