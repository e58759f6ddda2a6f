#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <regex>
#include <string>
#include <string_view>
#include <vector>

#include "sim/meter.h"

// The simulated meter's transcript read back as the wire saw it: which
// query got which reply, what readings a reply carried, and which faults
// the meter showed on the way. Written apart from the program's own parsers
// so a test compares the store with an independent reading of the wire.
namespace tq::test {

// One line from the host and the bytes the meter sent in answer to it,
// whenever the host read them: a reply read only after a later line was
// sent still belongs to its own line, so a host that takes it for the
// later one's stores what the meter never sent for that point.
struct Exchange {
    std::int64_t sentMs = 0;
    std::string line;  // without its line feed
    std::optional<std::string> reply;
    std::int64_t readMs = 0;  // when the last reply byte was read
};

// Lines the meter received, in order, with their line feeds.
inline std::vector<std::string> hostLines(const sim::Meter& meter) {
    std::vector<std::string> lines;
    for (const sim::TranscriptEntry& e : meter.transcript()) {
        if (e.fromHost) {
            lines.push_back(e.bytes);
        }
    }
    return lines;
}

inline std::vector<Exchange> exchanges(const std::vector<sim::TranscriptEntry>& transcript) {
    std::vector<Exchange> out;
    std::map<int, std::size_t> byMessage;
    for (const sim::TranscriptEntry& e : transcript) {
        if (e.fromHost) {
            byMessage[e.message] = out.size();
            out.push_back({.sentMs = e.timeMs,
                           .line = e.bytes.substr(0, e.bytes.find('\n')),
                           .reply = std::nullopt,
                           .readMs = 0});
        } else if (const auto it = byMessage.find(e.message); it != byMessage.end()) {
            Exchange& x = out[it->second];
            x.reply = x.reply.value_or("") + e.bytes;
            x.readMs = e.timeMs;
        }
    }
    return out;
}

// The 15 characters of a reading field hold exactly one number (blanks
// around it allowed), as the meter writes it: "+1.23456789E+00".
inline std::optional<double> wellFormedReading(std::string_view field) {
    static const std::regex number(R"(^ *[+-]?([0-9]+\.?[0-9]*|\.[0-9]+)([Ee][+-]?[0-9]+)? *$)");
    const std::string text(field);
    if (!std::regex_match(text, number)) {
        return std::nullopt;
    }
    return std::stod(text);
}

inline constexpr std::size_t kFieldWidth = 16;

// What a reading reply carried for channels 1..channels: the reading of
// each complete, well-formed field; none for a missing or damaged field.
inline std::vector<std::optional<double>> sentReadings(const std::optional<std::string>& reply,
                                                       int channels) {
    std::vector<std::optional<double>> out(static_cast<std::size_t>(channels));
    if (!reply) {
        return out;
    }
    for (std::size_t k = 0; k < out.size(); ++k) {
        if ((k + 1) * kFieldWidth <= reply->size()) {
            out[k] = wellFormedReading(std::string_view(*reply).substr(k * kFieldWidth, 15));
        }
    }
    return out;
}

// The faults seen on the wire, by kind.
struct FaultTally {
    long queries = 0;
    long dropped = 0;     // no reply read while the meter was there (lost, or past the time-out)
    long slow = 0;        // a reply read 900 ms or more after the host asked for it
    long garbage = 0;     // a reply that is not the shape its query's replies have
    long shortFetch = 0;  // a well-formed fetch reply with fewer fields than scanned
    long overloads = 0;   // 9.9E+37 among the readings sent
    bool disconnected = false;

    FaultTally& operator+=(const FaultTally& o) {
        queries += o.queries;
        dropped += o.dropped;
        slow += o.slow;
        garbage += o.garbage;
        shortFetch += o.shortFetch;
        overloads += o.overloads;
        disconnected = disconnected || o.disconnected;
        return *this;
    }
};

inline bool isReadingQuery(std::string_view line) {
    return line == "fetch?" || line == "READ?";
}

// The host's pause between a query and its read, which is no fault.
inline std::int64_t readDelayMs(std::string_view line) {
    if (line == "fetch?") {
        return 20;
    }
    if (line == "READ?") {
        return 100;
    }
    return 50;
}

inline FaultTally tallyFaults(const std::vector<Exchange>& log, int channels, bool disconnected) {
    static const std::regex stateShape(R"(^[0-9]+\n$)");
    static const std::regex readingShape(R"(^([^,\n]{15})(,[^,\n]{15})*\n$|^\n$)");
    FaultTally t;
    t.disconnected = disconnected;
    for (std::size_t i = 0; i < log.size(); ++i) {
        const Exchange& e = log[i];
        if (!e.line.ends_with('?')) {
            continue;
        }
        // The line the meter vanished on is answered by nobody.
        if (disconnected && i + 1 == log.size()) {
            continue;
        }
        ++t.queries;
        if (!e.reply) {
            ++t.dropped;
            continue;
        }
        if (e.readMs - e.sentMs - readDelayMs(e.line) >= 900) {
            ++t.slow;
        }
        if (e.line == "Rout:scan:state?") {
            t.garbage += std::regex_match(*e.reply, stateShape) ? 0 : 1;
        } else if (isReadingQuery(e.line)) {
            const auto readings = sentReadings(e.reply, channels);
            const bool shaped = std::regex_match(*e.reply, readingShape);
            const auto wellFormed =
                std::ranges::count_if(readings, [](auto r) { return r.has_value(); });
            if (!shaped || (wellFormed == 0 && e.reply->size() > 1)) {
                ++t.garbage;
            } else if (e.reply->size() < kFieldWidth * static_cast<std::size_t>(channels)) {
                ++t.shortFetch;
            }
            t.overloads += std::ranges::count(readings, std::optional<double>(9.9e37));
        }
    }
    return t;
}

}  // namespace tq::test
