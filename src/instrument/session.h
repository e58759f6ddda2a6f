#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "instrument/visa_api.h"

namespace tq {

// The search pattern for a TQ4700 on any USB board.
inline constexpr std::string_view kMeterPattern = "USB[0-9]*::0x3A6D::0x0E31::?*INSTR";
// The I/O time-out of every read and write.
inline constexpr visa::ViUInt32 kIoTimeoutMs = 2000;
// Hands the meter back to its front panel; sent without a line feed.
inline constexpr std::string_view kLocalCommand = "system:local";

// The link to the meter as the rest of the program sees it: the session
// handles, the reply buffers and the statuses, with the steps that open the
// link, carry command lines and replies, and hand the meter back at exit.
// Every call's status lands in VisaStatus; none is raised.
class InstrumentSession {
  public:
    static constexpr std::size_t kReplyChars = 64;
    // What one short read may bring, and one long read.
    static constexpr std::size_t kReplyReadCount = 200;
    static constexpr std::size_t kFetchReadCount = 320;
    // Room of a descriptor without its terminating NUL.
    static constexpr std::size_t kResourceNameChars = visa::VI_FIND_BUFLEN - 1;

    explicit InstrumentSession(visa::VisaApi& visa);

    // The session state, under the names the program uses throughout.
    visa::ViSession DefaultRM = visa::VI_NULL;
    visa::ViSession InstrSession = visa::VI_NULL;
    visa::ViFindList FindList = visa::VI_NULL;
    std::int32_t FoundCount = 0;
    std::string ResourceName;
    visa::ViStatus VisaStatus = visa::VI_SUCCESS;
    std::int32_t WriteCount = 0;
    std::int32_t ReadCount = 0;
    // A fixed 64-character field: a read overwrites it from the start with
    // what it received and leaves the characters beyond as they were.
    std::array<char, kReplyChars> ReplyBuf;
    // Every byte the latest short read brought (ReplyBuf keeps 64 of them).
    std::string ReceivedReply;
    // The meter's "*IDN?" reply as the start-up read it, without its line
    // end; empty when it gave none.
    std::string Identity;
    // The bytes of the latest long reply (at most 320).
    std::string FetchBuf;
    std::int16_t ScanCardPresent = 0;

    // The steps of the start-up, in the order it takes them.
    visa::ViStatus openResourceManager();
    void findMeters();
    void closeResourceManager();
    void openMeter();
    void setIoTimeout();

    // A command line: the line and "\n", WriteCount = its length + 1. A line
    // holding a line feed or a ";" goes out up to the first of them.
    void writeLine(std::string_view line);
    // Bytes as they are, without a line feed.
    void writeBytes(std::string_view bytes);
    // A short reply into ReplyBuf (count 200, first 64 characters kept).
    void readReply();
    // A long reply into FetchBuf (count 320).
    void readFetch();
    void blankReply();
    void clearFetch();

    // A status in words, as the link knows it (the system's reason a meter
    // did not open, where it has one).
    std::string describe(visa::ViStatus status) const;

    // ReplyBuf as text: always 64 characters.
    std::string_view reply() const { return {ReplyBuf.data(), ReplyBuf.size()}; }
    bool replyStartsWith(std::string_view prefix) const { return reply().starts_with(prefix); }

    // At exit: every meter the search found is opened afresh, sent
    // "system:local" and closed; then the resource manager is closed.
    void release();

  private:
    void takeResourceName(const std::string& name);

    visa::VisaApi& visa_;
};

// The serial label of a descriptor: the 10 characters from the first "TW"
// (fewer when the name ends sooner). A descriptor without "TW" gives its
// USB serial field, or "" when it has none.
std::string serialLabel(std::string_view resourceName);

}  // namespace tq
