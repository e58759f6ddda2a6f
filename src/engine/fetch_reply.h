#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The meter's reading replies, taken apart by position: every reading is a
// field of 16 characters, 15 of number text and one separator (a comma, or
// the line feed after the last).
namespace tq {

inline constexpr std::size_t kReadingFieldWidth = 16;
inline constexpr std::size_t kReadingNumberWidth = 15;

// The part of a fetch reply that holds the scanned channels: its first
// 16 x channelCount characters (fewer when the reply is shorter).
std::string fetchLine(std::string_view reply, double channelCount);

// The readings of the complete fields of a line, in channel order, at most
// maxFields; a trailing part shorter than a field is not a reading. A field
// whose number text is anything but one number (a garbled reply may still
// begin with a digit), or a number beyond the doubles, is none.
std::vector<std::optional<double>> fieldReadings(std::string_view line, std::size_t maxFields);

}  // namespace tq
