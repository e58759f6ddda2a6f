#include "engine/fetch_reply.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "common/number_text.h"

namespace tq {
namespace {

constexpr double kNoNumber = std::numeric_limits<double>::quiet_NaN();

}  // namespace

std::string fetchLine(std::string_view reply, double channelCount) {
    const double wanted = static_cast<double>(kReadingFieldWidth) * channelCount;
    const std::int32_t length = toInt32(wanted).value_or(wanted > 0 ? INT32_MAX : 0);
    if (length <= 0) {
        return {};
    }
    return std::string(reply.substr(0, static_cast<std::size_t>(length)));
}

std::vector<std::optional<double>> fieldReadings(std::string_view line, std::size_t maxFields) {
    std::vector<std::optional<double>> readings;
    const std::size_t complete = std::min(line.size() / kReadingFieldWidth, maxFields);
    readings.reserve(complete);
    for (std::size_t k = 0; k < complete; ++k) {
        const std::string_view number = line.substr(k * kReadingFieldWidth, kReadingNumberWidth);
        const double v = holdsNumber(number) ? Val(number) : kNoNumber;
        readings.push_back(std::isfinite(v) ? std::optional<double>(v) : std::nullopt);
    }
    return readings;
}

}  // namespace tq
