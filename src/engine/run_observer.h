#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/run_mode.h"

namespace tq {

// How a run came to its end.
enum class RunEnd {
    Completed,       // every point of the record length was taken
    Stopped,         // the user released the run toggle, or the window closed
    MeterSilent,     // the meter gave nothing usable for too many reads in a row
    ConnectionLost,  // as MeterSilent, and the link itself reports the connection gone
    ScanNeverDone,   // the meter answered, but a scan never completed
};

// One channel of a run as its first point programs it.
struct RunChannelSetup {
    int channel = 0;        // 1..10
    std::string function;   // as the row shows it, e.g. "DCV"
    std::string rangeText;  // as the row shows it, e.g. "10V", "AUTO"
    // The range value the first point sends; none where the row sends none.
    std::optional<double> rangeValue;
    std::string filter;  // the row's AC filter text
};

// What a run was set up with, when it starts: enough to say later how its
// numbers were taken.
struct RunSetup {
    RunMode mode = RunMode::ScanCard;
    std::string resource;                   // the VISA resource the run talks to
    std::string identity;                   // the meter's whole "*IDN?" reply; empty when unknown
    std::string serial;                     // the serial label of the resource
    std::vector<RunChannelSetup> channels;  // the channels in the run, in order
    int band = 0;                           // the AC filter band sent for the card
    std::string triggerDelay;               // the texts as sent
    std::string scanTime;
    std::string interval;
    std::int32_t recordLength = 0;
    std::int32_t pointsPerScreen = 0;
    std::optional<std::string> mathFormula;  // when the math channel is on, e.g. "CH1-CH2"
};

// Why a read brought nothing usable.
enum class ReadFailure {
    TimedOut,   // the link's time-out passed without a reply
    LinkError,  // any other failed status
    NoNumber,   // a reply came, but it held no reading
};

// One point as the record holds it once it is stored.
struct StoredPoint {
    std::int32_t point = 0;         // 1-based
    std::optional<double> seconds;  // its time as stored
    // [1..10] the channels' readings, [11] the math value; [0] is unused.
    // None is no reading; an overload is the number the meter sent (9.9E+37).
    std::array<std::optional<double>, 12> values{};
};

// What a run tells whoever follows it. Every call comes on the window's
// thread, inside the run, in the order the run does things; an observer
// must not block and must not touch the store or the run.
class RunObserver {
  public:
    virtual ~RunObserver() = default;
    virtual void runStarted(const RunSetup& /*setup*/) {}
    virtual void pointStarted(std::int32_t /*point*/) {}
    virtual void readFailed(std::int32_t /*point*/, ReadFailure /*why*/,
                            std::int32_t /*visaStatus*/) {}
    virtual void readingTaken(std::int32_t /*point*/, int /*channel*/, double /*value*/) {}
    virtual void pointStored(const StoredPoint& /*point*/) {}
    virtual void runEnded(RunEnd /*how*/, std::int32_t /*pointsTaken*/) {}
};

}  // namespace tq
