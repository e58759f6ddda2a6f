// Val on arbitrary bytes, and the number texts on arbitrary doubles.
#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <regex>
#include <string>
#include <string_view>

#include "common/number_text.h"
#include "fuzz_check.h"

namespace {

using tq::fuzz::check;

constexpr std::array<std::string_view, 7> kPictures = {
    "#0.##", "##0.###", "##0.####", "##0.0##", "#####0.##", "######0.0#", "#######0.0###"};

void checkVal(std::string_view text) {
    const double v = tq::Val(text);
    check(!std::isnan(v), "Val gave NaN", text);
    check(v != 0 || !std::signbit(v), "Val gave -0", text);
    // The number ends at the first character that cannot continue it, so
    // anything after the text changes nothing.
    const std::string longer = std::string(text) + "x";
    check(tq::Val(longer) == v, "Val changed by a trailing character", text);
    // One number and blanks, told apart from anything more by a reading of
    // its own.
    static const std::regex onlyNumber(
        R"(^[ \t\n]*[+-]?([0-9]+\.?[0-9]*|\.[0-9]+)([Ee][+-]?[0-9]+)?[ \t\n\r]*$)");
    if (text.size() <= 64) {
        const bool matched = std::regex_match(std::string(text), onlyNumber);
        check(tq::holdsNumber(text) == matched, "holdsNumber disagrees", text);
    }
}

// Picture output: "-"? digits "." decimals, no leading zeros but the one
// before the point, decimals between the picture's "0" and "#" places with
// no trailing zero past the "0" places, and within half a unit of the last
// place (plus the 15-digit rounding the text starts from).
void checkPicture(double x, std::string_view picture, std::size_t minDecimals,
                  std::size_t maxDecimals) {
    const std::string text = tq::formatPicture(x, picture);
    const std::string_view t = text;
    const std::size_t digitsStart = t.starts_with('-') ? 1 : 0;
    check(t.starts_with('-') == (x < 0), "picture sign", text);
    const std::size_t point = t.find('.');
    check(point != std::string_view::npos && point > digitsStart, "picture point", text);
    const std::string_view integer = t.substr(digitsStart, point - digitsStart);
    const std::string_view fraction = t.substr(point + 1);
    check(integer.find_first_not_of("0123456789") == std::string_view::npos, "integer digits",
          text);
    check(integer.size() == 1 || integer.front() != '0', "leading zero", text);
    check(fraction.find_first_not_of("0123456789") == std::string_view::npos, "decimal digits",
          text);
    check(fraction.size() >= minDecimals && fraction.size() <= maxDecimals, "decimal count", text);
    check(fraction.size() == minDecimals || fraction.back() != '0', "trailing zero", text);
    const double back = tq::Val(text);
    const double bound =
        0.5 * std::pow(10.0, -static_cast<double>(maxDecimals)) * (1 + 1e-9) + std::fabs(x) * 1e-14;
    check(std::fabs(back - x) <= bound || std::isinf(back), "picture rounding", text);
}

void checkTexts(double x) {
    const std::string text = tq::defaultText(x);
    const std::string number = tq::numberText(x);
    const std::string trimmed = tq::trimmedNumberText(x);
    check(number == (x < 0 ? trimmed : " " + trimmed), "numberText blank", number);
    if (!std::isfinite(x)) {
        return;
    }
    check(text != "-0" && text.find('e') == std::string::npos, "default text form", text);
    // The text is a fixed point: reading it back and writing again gives it
    // (unless the 15 digits round past the largest double).
    const double back = tq::Val(text);
    check(tq::defaultText(back) == text || std::isinf(back), "defaultText not a fixed point", text);
    check(tq::Val(number) == back && tq::Val(trimmed) == back, "numberText reads differently",
          number);
    for (const std::string_view picture : kPictures) {
        const auto point = picture.find('.');
        const std::string_view decimals = picture.substr(point + 1);
        checkPicture(x, picture, decimals.find_last_of('0') + 1, decimals.size());
    }
}

// A value with at most 15 significant digits comes back exactly.
void checkFifteenDigits(std::uint64_t mantissa, int exponent) {
    mantissa %= 1'000'000'000'000'000ULL;
    const std::string decimal = std::to_string(mantissa) + "E" + std::to_string(exponent);
    const double x = tq::Val(decimal);
    if (!std::isfinite(x)) {
        return;
    }
    check(tq::Val(tq::defaultText(x)) == x, "15 digits round trip", decimal);
    check(tq::Val(tq::numberText(-x)) == -x, "15 digits round trip (numberText)", decimal);
}

void checkIntegers(double a, double b) {
    // The reference: nearbyint rounds halves to even in the default mode.
    auto expected = [](double v, double lo, double hi) -> std::optional<double> {
        if (!std::isfinite(v) || std::nearbyint(v) < lo || std::nearbyint(v) > hi) {
            return std::nullopt;
        }
        return std::nearbyint(v);
    };
    constexpr double lo32 = std::numeric_limits<std::int32_t>::min();
    constexpr double hi32 = std::numeric_limits<std::int32_t>::max();
    const auto a32 = tq::toInt32(a);
    const auto e32 = expected(a, lo32, hi32);
    check(a32.has_value() == e32.has_value() && (!a32 || *a32 == *e32), "toInt32");
    const auto a16 = tq::toInt16(a);
    const auto e16 = expected(a, -32768, 32767);
    check(a16.has_value() == e16.has_value() && (!a16 || *a16 == *e16), "toInt16");
    const auto m = tq::modInt32(a, b);
    const auto eb = expected(b, lo32, hi32);
    if (!e32 || !eb || *eb == 0) {
        check(!m, "modInt32 without operands");
    } else {
        const auto r = static_cast<std::int64_t>(*e32) % static_cast<std::int64_t>(*eb);
        check(m && *m == r, "modInt32");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    checkVal(std::string_view(reinterpret_cast<const char*>(data), size));

    FuzzedDataProvider in(data, size);
    const double x = std::bit_cast<double>(in.ConsumeIntegral<std::uint64_t>());
    const double y = std::bit_cast<double>(in.ConsumeIntegral<std::uint64_t>());
    const auto mantissa = in.ConsumeIntegral<std::uint64_t>();
    const int exponent = in.ConsumeIntegralInRange(-340, 320);
    checkTexts(x);
    checkTexts(y);
    checkFifteenDigits(mantissa, exponent);
    checkIntegers(x, y);
    // Any picture text, sensible or not, formats without harm.
    const std::string picture = in.ConsumeRemainingBytesAsString();
    tq::formatPicture(x, picture);
    tq::formatPicture(y, picture);
    return 0;
}
