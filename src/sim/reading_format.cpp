#include "sim/reading_format.h"

#include <array>
#include <cmath>
#include <cstdio>

namespace tq::sim {

std::string formatReading(double value) {
    // A three-digit exponent would widen the field; nothing the meter
    // measures is that small, so such values read as zero.
    if (std::fabs(value) < 1e-99) {
        value = 0;
    }
    std::array<char, 32> text{};
    const int length = std::snprintf(text.data(), text.size(), "%+.8E", value);
    return {text.data(), static_cast<std::size_t>(length)};
}

std::string formatReadings(std::span<const double> values) {
    std::string fields;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0) {
            fields += ',';
        }
        fields += formatReading(values[i]);
    }
    return fields;
}

}  // namespace tq::sim
