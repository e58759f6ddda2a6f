#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// One line per transfer in the instrument trace and the simulator log:
// "12.500 > *IDN?\n" as text, time in milliseconds since the start with
// microsecond resolution, '>' for bytes written to the meter, '<' for bytes
// read from it. The instrument trace begins with one comment line that
// says when it started; readers skip lines that begin with '#'.
namespace tq {

// Line feed, carriage return, tab and backslash as \n, \r, \t and \\; every
// other control byte and every byte from 0x7F up as \xHH (uppercase hex);
// printable ASCII as is. The result is one printable line.
std::string escapeTraceBytes(std::string_view bytes);

// "<ms>.<us> <direction> <escaped bytes>\n".
std::string traceLine(std::int64_t elapsedMicros, char direction, std::string_view bytes);

// A read that failed: "12.731 < [VI_ERROR_TMO]\n".
std::string traceFailureLine(std::int64_t elapsedMicros, std::string_view statusName);

// "# tq4700 <version> trace started 2026-12-06T15:27:02.123+00:00\n": the
// wall time of the trace's time 0 (ISO 8601, local time with its offset),
// so that a trace can be laid beside a journal or the lab's clock.
std::string traceStartLine(std::string_view version, std::int64_t unixMs, int utcOffsetSeconds);

}  // namespace tq
