#pragma once

#include <optional>
#include <string>

#include "rules/math_channel.h"

namespace tq {

// The math channel as a point uses it.
struct MathInputs {
    MathSetup setup;
    double factor = 1;
    double offset = 0;
    // The right axis shows the math value: its first value scales the axis.
    bool onRightAxis = false;
};

// What a run reads from whoever set it up, asked at the moment the run uses
// each value: a field changed during a run counts from its next use. Rows
// are 0-based (row 0 is CH1).
class RunInputs {
  public:
    virtual ~RunInputs() = default;

    // The texts as they are sent, exactly as typed.
    virtual std::string triggerDelayText() const = 0;
    virtual std::string scanTimeText() const = 0;
    // The same fields as numbers, for the time a scan may take.
    virtual double triggerDelay() const = 0;
    virtual double scanTime() const = 0;
    virtual double intervalSeconds() const = 0;
    virtual double recordLength() const = 0;
    virtual double channelCount() const = 0;
    virtual double pointsPerScreen() const = 0;

    virtual bool rowInUse(int row) const = 0;
    virtual std::string function(int row) const = 0;
    virtual std::string range(int row) const = 0;
    virtual std::string filter(int row) const = 0;
    // The row's calibration offset, added to its plot position.
    virtual double calibration(int row) const = 0;

    // The math channel while it is on; none while it is off.
    virtual std::optional<MathInputs> math() const = 0;

    // The run toggle is down; the pause toggle holds the run while it is up;
    // the program wants the run over (the window is closing).
    virtual bool runOn() const = 0;
    virtual bool held() const = 0;
    virtual bool stopRequested() const = 0;
};

}  // namespace tq
