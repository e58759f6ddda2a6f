#pragma once

namespace tq {

// The trend plot in twips, origin top left, y growing downward: value 0 at the
// bottom edge, the full scale at 900, 1.2 x full scale at the top edge.
inline constexpr int kPlotWidth = 9000;
inline constexpr int kPlotHeight = 5400;
inline constexpr int kFullScaleY = 900;

// Left and right axes carry 13 value labels (0 .. 1.2 x full scale), the
// bottom axis 11 point numbers.
inline constexpr int kValueLabelCount = 13;
inline constexpr int kPointLabelCount = 11;

}  // namespace tq
