#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// How the front panel turns text into numbers and numbers into text. One
// module for every field, label, read-out and command line.
namespace tq {

// The leading decimal number of a text (leading blanks skipped, optional
// sign, "." as decimal point, E/e exponent); 0 when there is none. Never
// reads past the text, never throws. Out-of-range magnitudes give +-inf.
double Val(std::string_view text);
// Whether a text is that number and nothing more (blanks and a carriage
// return around it allowed): "6B64R" begins with a number Val reads as 6,
// but holds more than one.
bool holdsNumber(std::string_view text);

// General conversion ("%.15G"): "0.5", "100", "9.9E+37", "1E-05". "-0" is "0".
std::string defaultText(double value);

// The shortest text that reads back as the same double (std::from_chars,
// strtod), with an uppercase exponent as the meter writes it: "0.1",
// "9.9E+37", "-1.5E-05" stays "-1.5E-05"; "-0" keeps its sign. NaN and the
// infinities give "NAN", "INF", "-INF".
std::string roundTripText(double value);

// Command-line form: "." always, no leading zero below 1, a leading blank for
// non-negative values: " .1", "-.5", " 1000000".
std::string numberText(double value);
// The same without the leading blank: ".1", "1000000".
std::string trimmedNumberText(double value);

// Picture formats such as "#0.##", "######0.0#", "#######0.0###": the decimal
// point is always written; rounding half away from zero on the value's
// 15-significant-digit decimal text.
std::string formatPicture(double value, std::string_view picture);

// Conversions to integers with halves to even; nullopt when out of range or
// not a number.
std::optional<std::int32_t> toInt32(double value);
std::optional<std::int16_t> toInt16(double value);

// Int(): toward minus infinity.
double intFloor(double value);

// Mod: both operands rounded to 32-bit integers first (halves to even), the
// result takes the dividend's sign; nullopt when an operand is out of range
// or the divisor rounds to 0.
std::optional<std::int32_t> modInt32(double dividend, double divisor);

}  // namespace tq
