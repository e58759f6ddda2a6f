#include "rules/plot_rule.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "common/number_text.h"
#include "rules/reading.h"

namespace tq {
namespace {

// The store keeps twips below this; a y at or beyond it (a reading far
// below the range, a negative overload, an offset past the doubles) is kept
// on the deepest twip, so the reading itself is never lost.
constexpr double kNotStoredY = 100000000;
constexpr std::int32_t kDeepestTwip = 99999999;
// Readings above 1.2 x full scale come out slightly negative or just above 0.
constexpr double kTopEdgeSnap = 0.001;
// Rows 10001 .. 20001 hold the screen slots.

// 5400 - 4500 x v / FS, evaluated in the order the store has always used so
// that stored twips come out the same.
double scaledY(double v, double fs) {
    return kPlotHeight - ((kPlotHeight - kFullScaleY) - (fs - v) * 450 * (10 / fs));
}

}  // namespace

std::optional<double> PlotYRule(double reading, std::optional<double> fullScale, double cal,
                                double previousY, OverloadPlacement overload) {
    if (!std::isfinite(reading)) {
        return std::nullopt;
    }
    double y = previousY;
    if (isOverload(reading)) {
        y = overload == OverloadPlacement::TopEdge ? 0 : previousY;
    } else if (fullScale && *fullScale <= 0) {
        // A scale autoscaled from a tiny first reading; no division by it.
        y = kPlotHeight;
    } else if (fullScale) {
        y = scaledY(reading, *fullScale) + cal;
    }
    // An offset typed beyond the doubles puts the reading where any offset
    // that far would: -1e309 on the top edge, 1e309 below the plot; a y
    // that is no number at all cannot be placed.
    if (std::isnan(y)) {
        return std::nullopt;
    }
    return y < kTopEdgeSnap ? 0 : y;
}

std::optional<double> PlotYRule(const ScaleState& scale, std::string_view function, double reading,
                                double cal, double previousY, OverloadPlacement overload) {
    return PlotYRule(reading, fullScale(scale, function), cal, previousY, overload);
}

std::int32_t storedTwip(double y) {
    if (!(y < kNotStoredY)) {
        return kDeepestTwip;
    }
    // The store has always taken y through its 15-digit number text.
    return toInt32(Val(numberText(y))).value_or(0);
}

std::int32_t truncatedTwip(double y) {
    if (!(y < kNotStoredY)) {
        return kDeepestTwip;
    }
    return toInt32(std::trunc(y)).value_or(0);
}

double slotX(int s, int PointStep) {
    return static_cast<double>(s - 1) * PointStep;
}

std::optional<double> mathPlotY(double M, double MathFullScale) {
    if (!std::isfinite(M)) {
        return std::nullopt;
    }
    if (MathFullScale <= 0) {
        return kPlotHeight;
    }
    return scaledY(M, MathFullScale);
}

std::optional<std::int32_t> mathTwip(double M, double MathFullScale) {
    const std::optional<double> y = mathPlotY(M, MathFullScale);
    if (!y || std::isnan(*y)) {
        return std::nullopt;
    }
    if (const std::optional<std::int32_t> twip = toInt32(*y)) {
        return twip;
    }
    // Too far off the scale for a whole twip: on the edge it lies beyond.
    return *y < 0 ? 0 : kPlotHeight;
}

Rgb channelColour(int column) {
    return kChannelColours.at(static_cast<std::size_t>(column - 1));
}

}  // namespace tq
