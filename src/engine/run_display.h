#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "catalogue/run_mode.h"

namespace tq {

// What a run shows while it goes, on whatever shows it: the counters and
// read-outs, the scale translation with its axis, the redraw and the math
// step. Read-out boxes are 0-based (0 is CH1).
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

    // The run's translation of a row's range into the function's full scale
    // (rewriting the axis labels it changes).
    virtual void translateRange(std::string_view function, std::string_view range) = 0;
    // The channel on the left axis, and its rewrite after an autoscale.
    virtual std::optional<int> leftAxisChannel() const = 0;
    virtual void refreshLeftAxis(int channel) = 0;

    // Once per scan-card point after the channels are stored in `row`: the
    // math value and its column.
    virtual void mathStep(std::array<double, 12>& reading, int row) = 0;
    // After every point is stored: the plot from the store.
    virtual void redraw(std::int32_t point, RunMode mode) = 0;
};

}  // namespace tq
