#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "engine/run_observer.h"

// The journal file, as the writer writes it and the reader reads it:
//
//   # program: tq4700 1.0.1
//   # started: 2026-12-06T15:27:02+01:00
//   # identity: VARANDEL,TQ4700,TW00000001,2.01
//   ...                                  (one "# key: value" line each)
//   point,time_s,CH1,CH3,math            (the run's channels, math when on)
//   1,0.25,1.5,,9.9E+37                  (a missing reading is an empty field)
//   # end: completed, 1 points
//
// Only the run's own channels get a column. Numbers are the shortest text
// that reads back as the same double; an overload is the number the meter
// sent, 9.9E+37. Lines end in LF.
namespace tq::journal {

// The keys of the head, in the order they are written.
inline constexpr std::string_view kProgram = "program";
inline constexpr std::string_view kStarted = "started";
inline constexpr std::string_view kIdentity = "identity";
inline constexpr std::string_view kResource = "resource";
inline constexpr std::string_view kSerial = "serial";
inline constexpr std::string_view kMode = "mode";
// Per channel: "CH3 function", "CH3 range", "CH3 range value", "CH3 filter".
inline constexpr std::string_view kFunction = "function";
inline constexpr std::string_view kRange = "range";
inline constexpr std::string_view kRangeValue = "range value";
inline constexpr std::string_view kFilter = "filter";
inline constexpr std::string_view kFilterBand = "filter band";
inline constexpr std::string_view kTriggerDelay = "trigger delay";
inline constexpr std::string_view kScanTime = "scan time";
inline constexpr std::string_view kInterval = "interval";
inline constexpr std::string_view kRecordLength = "record length";
inline constexpr std::string_view kPointsPerScreen = "points per screen";
inline constexpr std::string_view kMath = "math";
// The function text of each of the ten channel rows as the window showed
// them when the run started, comma-separated: the workbook's column titles
// name them, in the run or not.
inline constexpr std::string_view kRowFunctions = "row functions";
// The closing line: "# end: completed, 120 points".
inline constexpr std::string_view kEnd = "end";

inline constexpr std::string_view kPointColumn = "point";
inline constexpr std::string_view kTimeColumn = "time_s";
inline constexpr std::string_view kMathColumn = "math";

std::string_view modeText(RunMode mode);
std::optional<RunMode> modeFrom(std::string_view text);

// "completed", "stopped", "meter stopped answering", "connection lost",
// "scan never completed".
std::string_view endText(RunEnd how);
std::optional<RunEnd> endFrom(std::string_view text);

// "CH3 range value".
std::string channelKey(int channel, std::string_view key);

// A head value on one line: line breaks and other control characters
// become blanks, so a meter's odd reply cannot cut the head.
std::string oneLine(std::string_view text);

}  // namespace tq::journal
