#include "journal/journal_format.h"

#include <array>

namespace tq::journal {
namespace {

struct EndName {
    RunEnd how;
    std::string_view text;
};

constexpr std::array kEndNames{
    EndName{.how = RunEnd::Completed, .text = "completed"},
    EndName{.how = RunEnd::Stopped, .text = "stopped"},
    EndName{.how = RunEnd::MeterSilent, .text = "meter stopped answering"},
    EndName{.how = RunEnd::ConnectionLost, .text = "connection lost"},
    EndName{.how = RunEnd::ScanNeverDone, .text = "scan never completed"},
};

constexpr std::string_view kScanCardText = "scan card";
constexpr std::string_view kMainUnitText = "main unit";

}  // namespace

std::string_view modeText(RunMode mode) {
    return mode == RunMode::ScanCard ? kScanCardText : kMainUnitText;
}

std::optional<RunMode> modeFrom(std::string_view text) {
    if (text == kScanCardText) {
        return RunMode::ScanCard;
    }
    if (text == kMainUnitText) {
        return RunMode::MainUnit;
    }
    return std::nullopt;
}

std::string_view endText(RunEnd how) {
    for (const EndName& name : kEndNames) {
        if (name.how == how) {
            return name.text;
        }
    }
    return "ended";
}

std::optional<RunEnd> endFrom(std::string_view text) {
    for (const EndName& name : kEndNames) {
        if (name.text == text) {
            return name.how;
        }
    }
    return std::nullopt;
}

std::string channelKey(int channel, std::string_view key) {
    return "CH" + std::to_string(channel) + " " + std::string(key);
}

std::string oneLine(std::string_view text) {
    std::string line(text);
    for (char& c : line) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            c = ' ';
        }
    }
    return line;
}

}  // namespace tq::journal
