#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>

// The meter's error queue as SCPI-99 (chapter 21.8) defines it: first in,
// first out, read one entry per "SYSTem:ERRor?", a queue-overflow entry in
// the last place when it is full.
namespace tq::sim {

namespace error {
inline constexpr int invalidCharacter = -101;
inline constexpr int syntax = -102;
inline constexpr int invalidSeparator = -103;
inline constexpr int dataType = -104;
inline constexpr int parameterNotAllowed = -108;
inline constexpr int missingParameter = -109;
inline constexpr int mnemonicTooLong = -112;
inline constexpr int undefinedHeader = -113;
inline constexpr int invalidCharacterInNumber = -121;
inline constexpr int invalidSuffix = -131;
inline constexpr int invalidCharacterData = -141;
inline constexpr int invalidStringData = -151;
inline constexpr int initIgnored = -213;
inline constexpr int triggerDeadlock = -214;
inline constexpr int settingsConflict = -221;
inline constexpr int dataOutOfRange = -222;
inline constexpr int illegalParameterValue = -224;
inline constexpr int dataStale = -230;
inline constexpr int hardwareMissing = -241;
inline constexpr int queueOverflow = -350;
inline constexpr int inputBufferOverrun = -363;
}  // namespace error

// The standard text of an error number; "Unknown error" for numbers the
// meter never raises.
std::string_view errorText(int code);

// The reply to "SYSTem:ERRor?": "-113,\"Undefined header\"", "+0,\"No error\"".
std::string errorReply(int code);

class ErrorQueue {
  public:
    static constexpr std::size_t capacity = 20;

    void push(int code);
    // The oldest entry, removed; 0 when the queue is empty.
    int pop();
    void clear() { codes_.clear(); }
    std::size_t size() const { return codes_.size(); }

  private:
    std::deque<int> codes_;
};

}  // namespace tq::sim
