#pragma once

#include <span>
#include <string>

// The meter's number format in replies: "+1.23456789E+00", always 15
// characters, so a host can cut readings out by position.
namespace tq::sim {

inline constexpr std::size_t readingFieldWidth = 15;

std::string formatReading(double value);

// Readings as fields of 15 characters, each but the last followed by ","
// (the message terminator follows the last).
std::string formatReadings(std::span<const double> values);

}  // namespace tq::sim
