#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "engine/run_observer.h"

namespace tq {

// The state a run shares between its start, the programming of each point
// and the acquisition, under the names the front panel has always used.
struct RunState {
    std::int32_t PointIndex = 0;  // 1 .. record length
    double ChannelCount = 0;      // channels scanned, from TxtChNo
    double ScanCountText = 0;     // the count the scan-count line carries
    int ChLoop = 0;               // 0-based channel of the programming loops
    std::int16_t MinBand = 300;   // lowest AC filter among the scanned channels
    std::string CmdLine;          // the line being sent
    std::string CountLine;        // the scan-count line
    std::string FetchLine;        // the fetch reply cut to the scanned fields
    std::int16_t ScanBusy = 0;    // 1 while the scan of the point runs
    std::int16_t ReadBusy = 0;    // never set by a scan-card run
    double ScanProgress = 0;      // channels done, from the scan-state reply
    std::int32_t ReadTimeMs = 0;  // duration of the last scan-state read
    std::int16_t FieldChannel = 0;
    // Latest reading per channel number 1..10; [11] is the math value.
    std::array<double, 12> Reading{};
    double PlotY = 0;  // plot position of the reading being handled
    std::string PlotYText;
    double ScaleChannel = 0;  // channel on the left axis after an autoscale

    // Reads in a row that brought nothing usable (time-outs, errors, a
    // scan-state reply without a number); a good read resets it.
    int FailedReads = 0;
    // The longest time per scanned channel any point has asked of the meter
    // (trigger delay and scan time or measurement), in seconds.
    double SlowestChannelSeconds = 0;

    // What the run's observers are told it was set up with; filled as the
    // first point programs the meter, and told once.
    RunSetup Setup;
    bool SetupReported = false;
    // The latest read that failed lost the connection itself.
    bool LastFailureLostLink = false;
    // Scan-state reads slower than the diagnostic limit.
    double SlowReads = 0;
};

}  // namespace tq
