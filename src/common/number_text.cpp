#include "common/number_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace tq {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isLeadingBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}

// Decimal exponent of the leading significant digit of mantissa x 10^exponent
// (mantissa: digits with at most one "."). Only used to tell an overflow from
// an underflow, so the exponent is saturated instead of parsed in full.
long long leadingDecimalExponent(std::string_view mantissa, std::string_view exponent) {
    long long exp = 0;
    for (char c : exponent) {
        if (isDigit(c) && exp < 1'000'000'000) {
            exp = exp * 10 + (c - '0');
        }
    }
    if (exponent.starts_with('-')) {
        exp = -exp;
    }
    bool seenPoint = false;
    bool seenSignificant = false;
    long long integerDigits = 0;  // from the first significant digit to the point
    long long zerosAfterPoint = 0;
    for (char c : mantissa) {
        if (c == '.') {
            seenPoint = true;
        } else if (seenSignificant) {
            integerDigits += seenPoint ? 0 : 1;
        } else if (c != '0') {
            if (seenPoint) {
                return exp - zerosAfterPoint - 1;
            }
            seenSignificant = true;
            integerDigits = 1;
        } else if (seenPoint) {
            ++zerosAfterPoint;
        }
    }
    return seenSignificant ? exp + integerDigits - 1 : std::numeric_limits<long long>::min();
}

// The 15 significant decimal digits of |value| and the decimal exponent of
// the first one: value = d0.d1d2...d14 x 10^exponent.
struct Digits15 {
    std::array<char, 15> digits{};
    int exponent = 0;
};

Digits15 digits15(double magnitude) {
    std::array<char, 40> buf{};
    const auto result = std::to_chars(buf.data(), buf.data() + buf.size(), magnitude,
                                      std::chars_format::scientific, 14);
    Digits15 out;
    std::size_t k = 0;
    const char* p = buf.data();
    for (; p != result.ptr && *p != 'e'; ++p) {
        if (isDigit(*p) && k < out.digits.size()) {
            out.digits[k++] = *p;
        }
    }
    if (p != result.ptr) {
        ++p;  // 'e'
        if (*p == '+') {
            ++p;
        }
        std::from_chars(p, result.ptr, out.exponent);
    }
    return out;
}

struct Picture {
    int integerZeros = 0;  // "0" places before the point: digits always written
    bool point = false;
    int minDecimals = 0;  // up to the last "0" after the point
    int maxDecimals = 0;  // every "0" or "#" after the point
};

Picture parsePicture(std::string_view picture) {
    Picture p;
    for (char c : picture) {
        if (c == '.') {
            p.point = true;
        } else if (c == '0' || c == '#') {
            if (!p.point) {
                p.integerZeros += (c == '0') ? 1 : 0;
            } else {
                ++p.maxDecimals;
                if (c == '0') {
                    p.minDecimals = p.maxDecimals;
                }
            }
        }
    }
    return p;
}

// Adds one unit in the last place of a decimal digit string; true when the
// carry runs out of the leftmost digit.
bool incrementDigits(std::string& digits) {
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it == '9') {
            *it = '0';
        } else {
            ++*it;
            return false;
        }
    }
    return true;
}

std::optional<double> roundHalfEven(double value) {
    if (!std::isfinite(value)) {
        return std::nullopt;
    }
    const double below = std::floor(value);
    const double fraction = value - below;  // exact for every double
    if (fraction < 0.5) {
        return below;
    }
    if (fraction > 0.5) {
        return below + 1;
    }
    return std::fmod(below, 2.0) == 0 ? below : below + 1;
}

template <typename Int>
std::optional<Int> toIntHalfEven(double value) {
    const auto rounded = roundHalfEven(value);
    if (!rounded || *rounded < static_cast<double>(std::numeric_limits<Int>::min()) ||
        *rounded > static_cast<double>(std::numeric_limits<Int>::max())) {
        return std::nullopt;
    }
    return static_cast<Int>(*rounded);
}

// Where the leading number of a text lies: its sign, the mantissa from
// `start` to `mantissaEnd`, the exponent (if any) up to `end`. None when
// the mantissa has no digit.
struct LeadingNumber {
    bool negative = false;
    std::size_t start = 0;
    std::size_t mantissaEnd = 0;
    std::size_t end = 0;
};

std::optional<LeadingNumber> scanLeadingNumber(std::string_view text) {
    LeadingNumber number;
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && isLeadingBlank(text[i])) {
        ++i;
    }
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        number.negative = text[i] == '-';
        ++i;
    }
    number.start = i;
    std::size_t digitCount = 0;
    bool seenPoint = false;
    for (; i < n; ++i) {
        if (isDigit(text[i])) {
            ++digitCount;
        } else if (text[i] == '.' && !seenPoint) {
            seenPoint = true;
        } else {
            break;
        }
    }
    if (digitCount == 0) {
        return std::nullopt;
    }
    number.mantissaEnd = i;
    number.end = i;
    if (i < n && (text[i] == 'E' || text[i] == 'e')) {
        std::size_t j = i + 1;
        if (j < n && (text[j] == '+' || text[j] == '-')) {
            ++j;
        }
        const std::size_t expDigits = j;
        while (j < n && isDigit(text[j])) {
            ++j;
        }
        if (j > expDigits) {
            number.end = j;
        }
    }
    return number;
}

}  // namespace

bool holdsNumber(std::string_view text) {
    const auto number = scanLeadingNumber(text);
    if (!number) {
        return false;
    }
    const std::string_view rest = text.substr(number->end);
    return std::ranges::all_of(rest, [](char c) { return isLeadingBlank(c) || c == '\r'; });
}

double Val(std::string_view text) {
    const auto number = scanLeadingNumber(text);
    if (!number) {
        return 0.0;
    }
    const auto [negative, start, mantissaEnd, end] = *number;
    double magnitude = 0.0;
    const auto result = std::from_chars(text.data() + start, text.data() + end, magnitude,
                                        std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        const auto mantissa = text.substr(start, mantissaEnd - start);
        const auto exponent = end > mantissaEnd
                                  ? text.substr(mantissaEnd + 1, end - mantissaEnd - 1)
                                  : std::string_view{};
        magnitude = leadingDecimalExponent(mantissa, exponent) >= 0
                        ? std::numeric_limits<double>::infinity()
                        : 0.0;
    } else if (result.ec != std::errc{}) {
        magnitude = 0.0;
    }
    if (magnitude == 0.0) {
        return 0.0;  // no negative zero: "-0" reads as plain 0
    }
    return negative ? -magnitude : magnitude;
}

std::string defaultText(double value) {
    if (value == 0.0) {
        return "0";
    }
    if (std::isnan(value)) {
        return "NAN";
    }
    if (std::isinf(value)) {
        return value < 0 ? "-INF" : "INF";
    }
    std::array<char, 40> buf{};
    const auto result =
        std::to_chars(buf.data(), buf.data() + buf.size(), value, std::chars_format::general, 15);
    std::string text(buf.data(), result.ptr);
    for (char& c : text) {
        if (c == 'e') {
            c = 'E';
        }
    }
    return text;
}

std::string roundTripText(double value) {
    if (!std::isfinite(value)) {
        return defaultText(value);
    }
    std::array<char, 32> buf{};
    const auto result = std::to_chars(buf.data(), buf.data() + buf.size(), value);
    std::string text(buf.data(), result.ptr);
    std::replace(text.begin(), text.end(), 'e', 'E');
    return text;
}

std::string trimmedNumberText(double value) {
    std::string text = defaultText(value);
    if (text.starts_with("0.")) {
        text.erase(0, 1);
    } else if (text.starts_with("-0.")) {
        text.erase(1, 1);
    }
    return text;
}

std::string numberText(double value) {
    std::string text = trimmedNumberText(value);
    if (!text.starts_with('-')) {
        text.insert(text.begin(), ' ');
    }
    return text;
}

std::string formatPicture(double value, std::string_view picture) {
    if (!std::isfinite(value)) {
        return defaultText(value);
    }
    const Picture pic = parsePicture(picture);
    const Digits15 d = digits15(std::fabs(value));

    // The value as plain decimal digits, integer part and fraction.
    std::string integerPart;
    std::string fraction;
    const std::string_view digits(d.digits.data(), d.digits.size());
    if (d.exponent >= 0) {
        const auto intCount = static_cast<std::size_t>(d.exponent) + 1;
        if (intCount >= digits.size()) {
            integerPart.assign(digits);
            integerPart.append(intCount - digits.size(), '0');
        } else {
            integerPart.assign(digits.substr(0, intCount));
            fraction.assign(digits.substr(intCount));
        }
    } else {
        fraction.assign(static_cast<std::size_t>(-d.exponent - 1), '0');
        fraction.append(digits);
    }

    const auto maxDecimals = static_cast<std::size_t>(pic.point ? pic.maxDecimals : 0);
    if (fraction.size() > maxDecimals) {
        const bool roundUp = fraction[maxDecimals] >= '5';
        fraction.resize(maxDecimals);
        if (roundUp && incrementDigits(fraction) && incrementDigits(integerPart)) {
            integerPart.insert(integerPart.begin(), '1');
        }
    }
    while (fraction.size() > static_cast<std::size_t>(pic.minDecimals) && fraction.back() == '0') {
        fraction.pop_back();
    }
    fraction.resize(std::max(fraction.size(), static_cast<std::size_t>(pic.minDecimals)), '0');

    const auto firstNonZero = integerPart.find_first_not_of('0');
    integerPart.erase(0, firstNonZero == std::string::npos ? integerPart.size() : firstNonZero);
    if (integerPart.size() < static_cast<std::size_t>(pic.integerZeros)) {
        integerPart.insert(0, static_cast<std::size_t>(pic.integerZeros) - integerPart.size(), '0');
    }

    std::string text;
    if (value < 0) {
        text += '-';  // kept even when the value rounds to zero
    }
    text += integerPart;
    if (pic.point) {
        text += '.';
        text += fraction;
    }
    return text;
}

std::optional<std::int32_t> toInt32(double value) {
    return toIntHalfEven<std::int32_t>(value);
}

std::optional<std::int16_t> toInt16(double value) {
    return toIntHalfEven<std::int16_t>(value);
}

double intFloor(double value) {
    return std::floor(value);
}

std::optional<std::int32_t> modInt32(double dividend, double divisor) {
    const auto a = toInt32(dividend);
    const auto b = toInt32(divisor);
    if (!a || !b || *b == 0) {
        return std::nullopt;
    }
    if (*b == -1) {
        return 0;  // INT32_MIN % -1 overflows in C++; the remainder is 0
    }
    return *a % *b;
}

}  // namespace tq
