#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>

#include "rules/math_channel.h"

namespace tq {

struct Panel;
class Clock;
struct ScaleState;
class RecordStore;

// The math row: its switch, the set-up read from the three combo boxes, and
// the math step of every scan-card point (value, Text4, right-axis
// autoscale, column 11 of the store).
class MathControls {
  public:
    MathControls(Panel& panel, Clock& clock, ScaleState& scale, RecordStore& store);
    void connectEvents();

    void ChkMath_Click();
    void ReadMathSetup();
    // Once per scan-card point, after the channel readings are stored in
    // row: forms Reading[11] and Text4, then the plot's math point.
    void mathStep(std::array<double, 12>& Reading, int row);
    // The formula a run computes, e.g. "(CH1-CH2)*1+0"; none while the math
    // row is off or its choices are incomplete.
    std::optional<std::string> formulaText();

    // Writes the right-axis labels after the math autoscale (set by whoever
    // owns the axis labels).
    void setMathAxisHook(std::function<void()> hook);

    MathSetup setup;

  private:
    // LabY1(0..12) from MathFullScale, after the first math value of a run
    // scaled the right axis.
    void writeMathAxis();

    Panel& panel_;
    Clock& clock_;
    ScaleState& scale_;
    RecordStore& store_;
    std::function<void()> mathAxisHook_;
};

}  // namespace tq
