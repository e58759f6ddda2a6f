#pragma once

namespace tq {

// What the AC set-up of the channel rows demands of the scan-time and
// trigger-delay fields. Only compared against those fields; the run reads the
// fields themselves.
struct ChannelSetupState {
    double MinScanTime = 0;   // seconds; 0 when no visible row uses an AC function
    double MinTrigDelay = 0;  // seconds; 0 when no visible row uses an AC function
    // True when the last look over the visible rows found no AC function.
    bool NoAcChannel = true;
};

}  // namespace tq
