#include "run/fetch_reply.h"

#include <algorithm>
#include <cstdint>

#include "common/number_text.h"

namespace tq {

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
        readings.push_back(holdsNumber(number) ? std::optional<double>(Val(number)) : std::nullopt);
    }
    return readings;
}

}  // namespace tq
