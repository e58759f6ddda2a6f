#include "common/trace_format.h"

#include <array>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace tq {

namespace {

std::string elapsedText(std::int64_t elapsedMicros) {
    // Integer arithmetic only: the text must not depend on rounding.
    const bool negative = elapsedMicros < 0;
    const auto magnitude = negative ? 0 - static_cast<std::uint64_t>(elapsedMicros)
                                    : static_cast<std::uint64_t>(elapsedMicros);
    std::array<char, 24> buf{};
    const auto end = std::to_chars(buf.data(), buf.data() + buf.size(), magnitude / 1000).ptr;
    std::string text = negative ? "-" : "";
    text.append(buf.data(), end);
    const auto micros = static_cast<unsigned>(magnitude % 1000);
    text += '.';
    text += static_cast<char>('0' + micros / 100);
    text += static_cast<char>('0' + micros / 10 % 10);
    text += static_cast<char>('0' + micros % 10);
    return text;
}

}  // namespace

std::string escapeTraceBytes(std::string_view bytes) {
    static constexpr std::string_view kHex = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        switch (c) {
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\\':
                out += "\\\\";
                break;
            default:
                if (b < 0x20 || b >= 0x7F) {
                    out += "\\x";
                    out += kHex[b >> 4];
                    out += kHex[b & 0xF];
                } else {
                    out += c;
                }
        }
    }
    return out;
}

std::string traceLine(std::int64_t elapsedMicros, char direction, std::string_view bytes) {
    std::string line = elapsedText(elapsedMicros);
    line += ' ';
    line += direction;
    line += ' ';
    line += escapeTraceBytes(bytes);
    line += '\n';
    return line;
}

std::string traceFailureLine(std::int64_t elapsedMicros, std::string_view statusName) {
    std::string line = elapsedText(elapsedMicros);
    line += " < [";
    line += statusName;
    line += "]\n";
    return line;
}

std::string traceStartLine(std::string_view version, std::int64_t unixMs, int utcOffsetSeconds) {
    using namespace std::chrono;
    const milliseconds local{unixMs + std::int64_t{utcOffsetSeconds} * 1000};
    const sys_days day = floor<days>(sys_time<milliseconds>(local));
    const year_month_day date(day);
    const hh_mm_ss<milliseconds> time(local - day.time_since_epoch());
    const int offsetMinutes = std::abs(utcOffsetSeconds) / 60;
    std::array<char, 64> stamp{};
    std::snprintf(stamp.data(), stamp.size(), "%04d-%02u-%02uT%02d:%02d:%02d.%03d%c%02d:%02d",
                  static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
                  static_cast<unsigned>(date.day()), static_cast<int>(time.hours().count()),
                  static_cast<int>(time.minutes().count()),
                  static_cast<int>(time.seconds().count()),
                  static_cast<int>(time.subseconds().count()), utcOffsetSeconds < 0 ? '-' : '+',
                  offsetMinutes / 60, offsetMinutes % 60);
    std::string line = "# tq4700 ";
    line += version;
    line += " trace started ";
    line += stamp.data();
    line += '\n';
    return line;
}

}  // namespace tq
