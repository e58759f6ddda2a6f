#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "rules/plot_geometry.h"

// The vertical scales of the trend plot: one full scale per function, the
// range values the run sends, the axis label texts and the autoscale rule.
namespace tq {

struct ScaleState {
    double ScaleValue = 0;  // left-axis full scale in display units
    std::string ScaleUnit;  // written after each left-axis number
    double FullScaleDCV = 0;
    double FullScaleACV = 0;
    double FullScaleFreq = 0;
    double FullScalePeriod = 0;
    double FullScale2W = 0;
    double FullScale4W = 0;
    std::int32_t FreqScaleDefault = 0;
    double PeriodScaleDefault = 0;
    double FreqInputRange = 0;
    double PeriodInputRange = 0;
    bool FreqAutoScaled = false;
    bool PeriodAutoScaled = false;
    bool FreqRangeChanged = false;
    bool PeriodRangeChanged = false;
    double PointsPerDiv = 10;
    std::int16_t PointStep = 90;
    double MathFullScale = 0;
    bool MathAutoScaled = false;
};

// Translates a row's range text into the function's full scale, range value
// and the left-axis value and unit. "AUTO" and functions outside the
// catalogue change nothing, so the previous value of the function stays.
void TransRange(ScaleState& s, std::string_view function, std::string_view range);

// The full scale a reading of `function` is plotted against; none for
// functions outside the catalogue.
std::optional<double> fullScale(const ScaleState& s, std::string_view function);
// The range value sent to the meter for `function` (for Frequency and Period
// the input voltage range).
std::optional<double> sentRangeValue(const ScaleState& s, std::string_view function);

using ValueLabels = std::array<std::string, kValueLabelCount>;
using PointLabels = std::array<std::string, kPointLabelCount>;

// Period labels carry three decimals after a left-axis choice and four after
// a range change.
inline constexpr std::string_view kPeriodPictureScaleChoice = "##0.###";
inline constexpr std::string_view kPeriodPictureRangeChange = "##0.####";

// Left-axis label sets: label k marks k tenths of the full scale.
ValueLabels valueLabels(double scaleValue, std::string_view scaleUnit);
ValueLabels frequencyLabels(double fullScaleFreq);
ValueLabels periodLabels(double fullScalePeriod, std::string_view picture);
// Plain number texts of k tenths of `fullScale` (start-up axes, math axis).
ValueLabels plainLabels(double fullScale);

// Points per screen offered by the plot, newest first in the list.
inline constexpr std::array<int, 7> kPointsPerScreenChoices{1000, 500, 200, 100, 50, 20, 10};

// A points-per-screen a user may type: a whole number the store's screen
// rows can hold.
inline constexpr int kMaxPointsPerScreen = 10000;
bool isTypedPointsPerScreen(std::string_view text);

// Bottom-axis point numbers for N points per screen when the window starts
// at point 1.
PointLabels pointLabels(double pointsPerScreen);
// Sets PointsPerDiv; PointStep only for the offered choices.
void setPointsPerScreen(ScaleState& s, double pointsPerScreen);

// m kept to one significant digit, halves to even: 4800 -> 5000, 2500 ->
// 2000. m is a whole number.
double roundedScale(double m);

// Full scales fixed by the first reading of a run; none when the reading
// cannot give one (not finite, or too large to scale).
std::optional<double> frequencyAutoScale(double frequency);
std::optional<double> periodAutoScale(double period);
std::optional<double> mathAutoScale(double mathValue);

// Apply the autoscale of the first valid reading of a run: true when the full
// scale was set now (the caller refreshes the axis). Overload readings and
// readings after the first leave everything as it is.
bool autoscaleFrequency(ScaleState& s, double reading);
bool autoscalePeriod(ScaleState& s, double reading);
bool autoscaleMath(ScaleState& s, double mathValue);

}  // namespace tq
