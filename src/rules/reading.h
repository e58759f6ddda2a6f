#pragma once

namespace tq {

// The meter reports an overload as exactly this number; tested by equality.
inline constexpr double kOverloadReading = 9.9E+37;

inline bool isOverload(double reading) {
    return reading == kOverloadReading;
}

}  // namespace tq
