#include "sim/scpi_error.h"

#include <array>

namespace tq::sim {

namespace {

struct ErrorEntry {
    int code;
    std::string_view text;
};

constexpr std::array errorTable{
    ErrorEntry{.code = 0, .text = "No error"},
    ErrorEntry{.code = error::invalidCharacter, .text = "Invalid character"},
    ErrorEntry{.code = error::syntax, .text = "Syntax error"},
    ErrorEntry{.code = error::invalidSeparator, .text = "Invalid separator"},
    ErrorEntry{.code = error::dataType, .text = "Data type error"},
    ErrorEntry{.code = error::parameterNotAllowed, .text = "Parameter not allowed"},
    ErrorEntry{.code = error::missingParameter, .text = "Missing parameter"},
    ErrorEntry{.code = error::mnemonicTooLong, .text = "Program mnemonic too long"},
    ErrorEntry{.code = error::undefinedHeader, .text = "Undefined header"},
    ErrorEntry{.code = error::invalidCharacterInNumber, .text = "Invalid character in number"},
    ErrorEntry{.code = error::invalidSuffix, .text = "Invalid suffix"},
    ErrorEntry{.code = error::invalidCharacterData, .text = "Invalid character data"},
    ErrorEntry{.code = error::invalidStringData, .text = "Invalid string data"},
    ErrorEntry{.code = error::initIgnored, .text = "Init ignored"},
    ErrorEntry{.code = error::triggerDeadlock, .text = "Trigger deadlock"},
    ErrorEntry{.code = error::settingsConflict, .text = "Settings conflict"},
    ErrorEntry{.code = error::dataOutOfRange, .text = "Data out of range"},
    ErrorEntry{.code = error::illegalParameterValue, .text = "Illegal parameter value"},
    ErrorEntry{.code = error::dataStale, .text = "Data corrupt or stale"},
    ErrorEntry{.code = error::hardwareMissing, .text = "Hardware missing"},
    ErrorEntry{.code = error::queueOverflow, .text = "Queue overflow"},
    ErrorEntry{.code = error::inputBufferOverrun, .text = "Input buffer overrun"},
};

}  // namespace

std::string_view errorText(int code) {
    for (const ErrorEntry& entry : errorTable) {
        if (entry.code == code) {
            return entry.text;
        }
    }
    return "Unknown error";
}

std::string errorReply(int code) {
    // SCPI writes the number with its sign, "+0" included.
    std::string reply = code < 0 ? std::to_string(code) : "+" + std::to_string(code);
    reply += ",\"";
    reply += errorText(code);
    reply += '"';
    return reply;
}

void ErrorQueue::push(int code) {
    if (codes_.size() >= capacity) {
        // The newest error is lost; the last place tells the host so.
        codes_.back() = error::queueOverflow;
        return;
    }
    codes_.push_back(code);
}

int ErrorQueue::pop() {
    if (codes_.empty()) {
        return 0;
    }
    const int code = codes_.front();
    codes_.pop_front();
    return code;
}

}  // namespace tq::sim
