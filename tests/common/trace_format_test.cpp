#include "common/trace_format.h"

#include <gtest/gtest.h>

#include <string>

namespace tq {
namespace {

TEST(TraceFormat, EscapesEveryNonPrintableByte) {
    EXPECT_EQ(escapeTraceBytes("*IDN?\n"), "*IDN?\\n");
    EXPECT_EQ(escapeTraceBytes("a\r\tb\\c"), "a\\r\\tb\\\\c");
    EXPECT_EQ(escapeTraceBytes(std::string("\0\x1f\x7f\x80\xff", 5)), "\\x00\\x1F\\x7F\\x80\\xFF");
    EXPECT_EQ(escapeTraceBytes(" ~+9.9E+37,"), " ~+9.9E+37,");
    EXPECT_EQ(escapeTraceBytes(""), "");
}

TEST(TraceFormat, LinesCarryMillisecondsWithThreeDecimals) {
    EXPECT_EQ(traceLine(12500, '>', "*IDN?\n"), "12.500 > *IDN?\\n\n");
    EXPECT_EQ(traceLine(0, '<', "1\n"), "0.000 < 1\\n\n");
    EXPECT_EQ(traceLine(7, '<', ""), "0.007 < \n");
    EXPECT_EQ(traceLine(123456789012, '>', "x"), "123456789.012 > x\n");
    EXPECT_EQ(traceLine(-1500, '>', "x"), "-1.500 > x\n");
    EXPECT_EQ(traceFailureLine(12731, "VI_ERROR_TMO"), "12.731 < [VI_ERROR_TMO]\n");
}

TEST(TraceFormat, StartLineGivesTheWallTimeWithItsOffset) {
    // 2026-12-06 15:27:02.123 UTC.
    constexpr std::int64_t kUnixMs = 1796570822123;
    EXPECT_EQ(traceStartLine("1.0.1", kUnixMs, 0),
              "# tq4700 1.0.1 trace started 2026-12-06T15:27:02.123+00:00\n");
    // Local time across midnight, both ways, and a half-hour zone.
    EXPECT_EQ(traceStartLine("1.0.1", kUnixMs, 9 * 3600),
              "# tq4700 1.0.1 trace started 2026-12-07T00:27:02.123+09:00\n");
    EXPECT_EQ(traceStartLine("1.0.1", kUnixMs - 15 * 3600000, -(3 * 3600 + 1800)),
              "# tq4700 1.0.1 trace started 2026-12-05T20:57:02.123-03:30\n");
    EXPECT_EQ(traceStartLine("2", 0, 0),
              "# tq4700 2 trace started 1970-01-01T00:00:00.000+00:00\n");
}

}  // namespace
}  // namespace tq
