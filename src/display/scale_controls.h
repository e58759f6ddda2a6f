#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "panel/warning_strip.h"
#include "rules/scale.h"

class QComboBox;
class QLineEdit;

namespace tq {

inline constexpr const char* kPointsPerScreenWarning =
    "畫面點數只能 1 ~ 10000 整數 !! (Points per screen: a whole number from 1 to 10000)";

class Clock;
class Label;
struct Panel;

// The controls the scale handlers read and write: the axis selectors, the
// points per screen, each channel's function and range, the range rows, the
// three rows of axis labels, and the warning strip for a number typed
// wrong. Taken from a built panel (implicitly, so the panel itself can be
// handed over).
struct ScaleControlSet {
    ScaleControlSet(const Panel& p);
    std::array<QComboBox*, 2> CboScale;
    QComboBox* CboPoint;
    std::array<QComboBox*, 10> CboFunc;
    std::array<QComboBox*, 10> CboRange;
    std::array<QLineEdit*, 2> TxtRange;
    std::array<Label*, 13> LabY;
    std::array<Label*, 13> LabY1;
    std::array<Label*, 11> LabX;
    WarningStrip warning;
};

// The window's handlers for the vertical scale: which channel the left axis
// shows, the range rows, the points per screen, and the axis labels they
// write. The scale itself is the ScaleState; this class only reads controls
// and writes captions.
class ScaleControls {
  public:
    ScaleControls(ScaleControlSet controls, Clock& clock, ScaleState& scale);

    // CboScale, CboRange and CboPoint run their handlers on a user's pick;
    // a number typed into CboPoint is a pick once the user is done with it.
    void connectEvents();

    void TransRange(std::string_view function, std::string_view range);
    void CboScale_Click(int Index);
    void CboRange_Click(int Index);
    void CboPoint_Click();
    void DrawScaleLabels();

    // The channel (1..10) that CboScale(0) names; none for any other text.
    std::optional<int> leftAxisChannel() const;
    // After the first reading of a run rescaled Frequency or Period on
    // `channel`, which the left axis shows: pick another channel and back, so
    // the axis is written from the new full scale.
    void refreshLeftAxis(int channel);
    // The right axis from MathFullScale, once the math value has scaled it.
    void writeMathLabels();

  private:
    void judgeTypedPointsPerScreen();
    void translateLeftAxisChannel();
    void writeLeftAxis(const ValueLabels& labels);

    ScaleControlSet p_;
    Clock& clock_;
    ScaleState& scale_;
};

}  // namespace tq
