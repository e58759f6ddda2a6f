#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "rules/scale.h"

// Where readings go on the trend plot: value to y, point to store row, slot
// to x, and the trace colours.
namespace tq {

// Scan-card points put an overload on the top edge; main-unit points leave
// the trace where the previous point was.
enum class OverloadPlacement { TopEdge, KeepPrevious };

// The plot y of a reading against the full scale of its function, moved by
// the channel's offset `cal` (twips). `fullScale` is none for a function
// outside the catalogue, which keeps `previousY`. A full scale of 0 or less
// puts the reading on the bottom edge. None when the reading is not finite
// or y comes out as no number, so nothing is stored for it; -infinity is the
// top edge like any y below it, +infinity lies below the plot.
std::optional<double> PlotYRule(double reading, std::optional<double> fullScale, double cal,
                                double previousY,
                                OverloadPlacement overload = OverloadPlacement::TopEdge);
std::optional<double> PlotYRule(const ScaleState& scale, std::string_view function, double reading,
                                double cal, double previousY,
                                OverloadPlacement overload = OverloadPlacement::TopEdge);

// The stored twip of a plot y: its number text rounded to a whole twip,
// halves to even. Large negative readings land far below the plot, beyond
// the store's twips; they keep the deepest twip it has.
std::int32_t storedTwip(double y);
// Main-unit points keep the whole twips of y, the fraction cut off.
std::int32_t truncatedTwip(double y);

// x of screen slot s (1 .. N + 1).
double slotX(int s, int PointStep);

// The math trace has no offset and no clamp; a full scale of 0 or less puts
// it on the bottom edge. None when M is not finite. A y beyond the 32-bit
// twips is drawn on the plot edge it lies beyond.
std::optional<double> mathPlotY(double M, double MathFullScale);
std::optional<std::int32_t> mathTwip(double M, double MathFullScale);

struct Rgb {
    int red;
    int green;
    int blue;
};

// Trace pens and legend fills by store column: CH1 .. CH10, then Math.
inline constexpr int kMathColumn = 11;
inline constexpr std::array<Rgb, kMathColumn> kChannelColours{{
    {.red = 255, .green = 60, .blue = 0},
    {.red = 255, .green = 120, .blue = 0},
    {.red = 255, .green = 180, .blue = 0},
    {.red = 0, .green = 255, .blue = 0},
    {.red = 120, .green = 255, .blue = 0},
    {.red = 200, .green = 255, .blue = 0},
    {.red = 0, .green = 0, .blue = 255},
    {.red = 0, .green = 80, .blue = 255},
    {.red = 0, .green = 160, .blue = 255},
    {.red = 0, .green = 255, .blue = 255},
    {.red = 255, .green = 0, .blue = 0},
}};

// Colour of store column 1 .. 11.
Rgb channelColour(int column);

}  // namespace tq
