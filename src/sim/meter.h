#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tq {
class Clock;
}

namespace tq::sim {

// Faults the simulated meter can be told to show. Probabilities are per
// reply (0 = never, 1 = always); counts < 0 mean never.
struct Faults {
    double dropReply = 0;  // a query gets no reply at all (the host times out)
    double slowReply = 0;  // a reply arrives only after slowReplyMs
    std::int64_t slowReplyMs = 1500;
    double garbage = 0;             // a reply is replaced by random printable bytes
    double shortFetch = 0;          // a "fetch?" reply is cut after a random field
    int disconnectAfterLines = -1;  // the meter vanishes after this many lines
};

struct Options {
    bool card = true;  // scanner card fitted
    std::string identity = "VARANDEL,TQ4700,TW00000001,2.01";
    std::uint64_t seed = 1;
    Faults faults;
};

// One line as the meter received or sent it, for transcripts.
struct TranscriptEntry {
    std::int64_t timeMs;  // clock tick at the time
    bool fromHost;        // true: received from the host (">"), false: sent ("<")
    std::string bytes;    // exact bytes
    // The host message's number (from 0), or for a reply the number of the
    // message it answers: a reply read late still names its own query.
    int message = -1;
};

// The simulated TQ4700: parses SCPI as the instrument does and answers the
// lines the front panel sends. Shared by the in-process provider
// (`tq4700 --simulate`) and the TCP server `tq4700-sim`.
class Meter {
  public:
    Meter(Clock& clock, Options options);
    ~Meter();
    Meter(const Meter&) = delete;
    Meter& operator=(const Meter&) = delete;

    // Bytes written by the host; every "\n" ends a message.
    void receive(std::string_view bytes);
    // A message without a line feed ends here (end of a write in-process,
    // connection close over TCP).
    void endMessage();

    enum class ReadStatus { Ok, Timeout, Disconnected };
    struct ReadResult {
        ReadStatus status;
        std::string bytes;  // at most maxBytes; the rest stays for the next read
    };
    // The next reply bytes, waiting on the clock up to timeoutMs for one.
    ReadResult read(std::size_t maxBytes, std::int64_t timeoutMs);
    // A device clear, as a usbtmc host sends after a read timed out: the
    // unread input and every reply not yet read, late ones included, are
    // dropped. Settings and a scan under way are kept.
    void clear();

    bool connected() const;
    const std::vector<TranscriptEntry>& transcript() const;
    const Options& options() const;

    // The clock tick at which the next reply can be read (it may be now or
    // past); nullopt when no reply is pending. Lets a server sleep until then.
    std::optional<std::int64_t> nextReplyMs() const;
    // Whether the host holds the meter in remote mode ("SYSTem:LOCal" ends it).
    bool remote() const;
    // The transcript is kept unless told otherwise; a long-running server
    // that logs on its own turns it off so memory stays bounded.
    void setTranscriptKept(bool keep);

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace tq::sim
