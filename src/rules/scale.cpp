#include "rules/scale.h"

#include <algorithm>
#include <cmath>

#include "common/number_text.h"
#include "rules/reading.h"

namespace tq {
namespace {

// Frequency and Period cannot be scaled from a range text: the axis shows a
// fixed default until the first reading of a run sets the scale.
constexpr double kFrequencyDefaultScale = 300000;  // Hz
constexpr double kFrequencyAxisValue = 300;        // KHz
constexpr double kPeriodDefaultScale = 0.5;        // s

struct ResistanceScale {
    std::string_view range;
    double scaleValue;
    std::string_view scaleUnit;
    double fullScale;  // ohms
};

// The axis shows ohms, kilohms or megohms; "1M" and "1K" read as 1000 of the
// next smaller unit.
constexpr std::array kResistanceScales{
    ResistanceScale{.range = "100M", .scaleValue = 100, .scaleUnit = "M", .fullScale = 100000000},
    ResistanceScale{.range = "10M", .scaleValue = 10, .scaleUnit = "M", .fullScale = 10000000},
    ResistanceScale{.range = "1M", .scaleValue = 1000, .scaleUnit = "K", .fullScale = 1000000},
    ResistanceScale{.range = "100K", .scaleValue = 100, .scaleUnit = "K", .fullScale = 100000},
    ResistanceScale{.range = "10K", .scaleValue = 10, .scaleUnit = "K", .fullScale = 10000},
    ResistanceScale{.range = "1K", .scaleValue = 1000, .scaleUnit = "", .fullScale = 1000},
    ResistanceScale{.range = "100", .scaleValue = 100, .scaleUnit = "", .fullScale = 100},
};

void translateVoltage(ScaleState& s, double v, std::string_view suffix, double& fullScale) {
    if (suffix.size() == 1 || suffix.size() == 2) {
        s.ScaleValue = v;
    }
    s.ScaleUnit = suffix;
    fullScale = suffix == "mV" ? s.ScaleValue / 1000 : s.ScaleValue;
}

// Input voltage range of Frequency and Period: a one-character suffix is
// volts, a two-character one millivolts.
void translateInputRange(double v, std::string_view suffix, double& inputRange) {
    if (suffix.size() == 1) {
        inputRange = v;
    } else if (suffix.size() == 2) {
        inputRange = v / 1000;
    }
}

void translateResistance(ScaleState& s, std::string_view range, double& fullScale) {
    const auto* it = std::ranges::find(kResistanceScales, range, &ResistanceScale::range);
    if (it == kResistanceScales.end()) {
        return;
    }
    s.ScaleValue = it->scaleValue;
    s.ScaleUnit = it->scaleUnit;
    fullScale = it->fullScale;
}

template <typename Text>
ValueLabels makeValueLabels(Text text) {
    ValueLabels labels;
    for (int k = 0; k < kValueLabelCount; ++k) {
        labels[static_cast<std::size_t>(k)] = text(static_cast<double>(k));
    }
    return labels;
}

}  // namespace

void TransRange(ScaleState& s, std::string_view function, std::string_view range) {
    if (range == "AUTO") {
        return;
    }
    // The digits are taken from the whole text; the suffix is what follows as
    // many leading characters as there are digits.
    std::string digits;
    std::ranges::copy_if(range, std::back_inserter(digits),
                         [](char c) { return c >= '0' && c <= '9'; });
    const std::string_view suffix = range.substr(std::min(digits.size(), range.size()));
    const double v = Val(digits);

    if (function == "DCV") {
        translateVoltage(s, v, suffix, s.FullScaleDCV);
    } else if (function == "ACV") {
        translateVoltage(s, v, suffix, s.FullScaleACV);
    } else if (function == "Frequency") {
        s.ScaleValue = kFrequencyAxisValue;
        s.ScaleUnit = "KHz";
        // Once a run has scaled Frequency from its first reading, the scale
        // and the input range hold for the rest of the run.
        if (!s.FreqAutoScaled) {
            translateInputRange(v, suffix, s.FreqInputRange);
            s.FullScaleFreq = kFrequencyDefaultScale;
            s.FreqScaleDefault = static_cast<std::int32_t>(kFrequencyDefaultScale);
        }
    } else if (function == "Period") {
        s.ScaleValue = kPeriodDefaultScale;
        s.ScaleUnit = "S";
        translateInputRange(v, suffix, s.PeriodInputRange);
        if (!s.PeriodAutoScaled) {
            s.FullScalePeriod = kPeriodDefaultScale;
            s.PeriodScaleDefault = kPeriodDefaultScale;
        }
    } else if (function == "2WR") {
        translateResistance(s, range, s.FullScale2W);
    } else if (function == "4WR") {
        translateResistance(s, range, s.FullScale4W);
    }
}

std::optional<double> fullScale(const ScaleState& s, std::string_view function) {
    if (function == "DCV") {
        return s.FullScaleDCV;
    }
    if (function == "ACV") {
        return s.FullScaleACV;
    }
    if (function == "Frequency") {
        return s.FullScaleFreq;
    }
    if (function == "Period") {
        return s.FullScalePeriod;
    }
    if (function == "2WR") {
        return s.FullScale2W;
    }
    if (function == "4WR") {
        return s.FullScale4W;
    }
    return std::nullopt;
}

std::optional<double> sentRangeValue(const ScaleState& s, std::string_view function) {
    if (function == "Frequency") {
        return s.FreqInputRange;
    }
    if (function == "Period") {
        return s.PeriodInputRange;
    }
    // The other functions send their full scale as the range.
    return fullScale(s, function);
}

ValueLabels valueLabels(double scaleValue, std::string_view scaleUnit) {
    return makeValueLabels([&](double k) {
        return formatPicture(k * scaleValue / 10, "#0.##") + std::string(scaleUnit);
    });
}

ValueLabels frequencyLabels(double fullScaleFreq) {
    return makeValueLabels(
        [&](double k) { return formatPicture(k * fullScaleFreq / 10, "#####0.##"); });
}

ValueLabels periodLabels(double fullScalePeriod, std::string_view picture) {
    return makeValueLabels(
        [&](double k) { return formatPicture(k * fullScalePeriod * 1000 / 10, picture) + "ms"; });
}

ValueLabels plainLabels(double fullScale) {
    return makeValueLabels([&](double k) { return defaultText(k * fullScale / 10); });
}

PointLabels pointLabels(double pointsPerScreen) {
    PointLabels labels;
    for (int k = 0; k < kPointLabelCount; ++k) {
        labels[static_cast<std::size_t>(k)] = defaultText(1 + k * pointsPerScreen / 10);
    }
    return labels;
}

bool isTypedPointsPerScreen(std::string_view text) {
    const double n = Val(text);
    return holdsNumber(text) && n == std::floor(n) && n >= 1 && n <= kMaxPointsPerScreen;
}

void setPointsPerScreen(ScaleState& s, double pointsPerScreen) {
    s.PointsPerDiv = pointsPerScreen / 10;
    if (std::ranges::find(kPointsPerScreenChoices, pointsPerScreen) !=
        kPointsPerScreenChoices.end()) {
        s.PointStep = static_cast<std::int16_t>(kPlotWidth / static_cast<int>(pointsPerScreen));
    }
}

double roundedScale(double m) {
    // n counts the characters of m's decimal text, a minus sign included.
    const auto n = static_cast<int>(formatPicture(m, "0").size());
    const double unit = std::pow(10.0, n - 1);
    return *toInt32(m / unit) * unit;
}

std::optional<double> frequencyAutoScale(double frequency) {
    const double m = intFloor(3 * frequency);
    if (!std::isfinite(m)) {
        return std::nullopt;
    }
    return roundedScale(m);
}

std::optional<double> periodAutoScale(double period) {
    const double m = intFloor(2000000 * period);
    if (!std::isfinite(m)) {
        return std::nullopt;
    }
    return roundedScale(m) / 1000000;
}

std::optional<double> mathAutoScale(double mathValue) {
    const double m = intFloor(2 * mathValue);
    if (!std::isfinite(m)) {
        return std::nullopt;
    }
    return m < 1 ? 1 : roundedScale(m);
}

bool autoscaleFrequency(ScaleState& s, double reading) {
    if (s.FreqAutoScaled || isOverload(reading)) {
        return false;
    }
    const std::optional<double> scale = frequencyAutoScale(reading);
    if (!scale) {
        return false;
    }
    s.FullScaleFreq = *scale;
    s.FreqAutoScaled = true;
    return true;
}

bool autoscalePeriod(ScaleState& s, double reading) {
    if (s.PeriodAutoScaled || isOverload(reading)) {
        return false;
    }
    const std::optional<double> scale = periodAutoScale(reading);
    if (!scale) {
        return false;
    }
    s.FullScalePeriod = *scale;
    s.PeriodAutoScaled = true;
    return true;
}

bool autoscaleMath(ScaleState& s, double mathValue) {
    if (s.MathAutoScaled) {
        return false;
    }
    const std::optional<double> scale = mathAutoScale(mathValue);
    if (!scale) {
        return false;
    }
    s.MathFullScale = *scale;
    s.MathAutoScaled = true;
    return true;
}

}  // namespace tq
