#include "run/fetch_reply.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

#include "common/number_text.h"

namespace tq {
namespace {

bool isDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// The blanks Val skips before a number.
bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}

std::size_t skipDigits(std::string_view text, std::size_t i) {
    while (i < text.size() && isDigit(text[i])) {
        ++i;
    }
    return i;
}

}  // namespace

// A reply the meter garbled can still begin with a digit; Val would read
// "6B64R/i[agD)/5o" as 6. Only a field that is one number with blanks
// around it is a reading.
bool holdsNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i])) {
        ++i;
    }
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        ++i;
    }
    const std::size_t integerStart = i;
    i = skipDigits(text, i);
    std::size_t digits = i - integerStart;
    if (i < text.size() && text[i] == '.') {
        const std::size_t fractionStart = ++i;
        i = skipDigits(text, i);
        digits += i - fractionStart;
    }
    if (digits == 0) {
        return false;
    }
    if (i < text.size() && (text[i] == 'E' || text[i] == 'e')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            ++i;
        }
        const std::size_t exponentStart = i;
        i = skipDigits(text, i);
        if (i == exponentStart) {
            return false;
        }
    }
    while (i < text.size() && (isBlank(text[i]) || text[i] == '\r')) {
        ++i;
    }
    return i == text.size();
}

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
