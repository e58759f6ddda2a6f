#pragma once

#include <string>

#include "instrument/visa_types.h"

namespace tq {

class Clock;
class InstrumentSession;
class MessageBoxes;
struct Panel;

// What the start-up shows about the meter, in its own words.
inline constexpr const char* kInitialOk = "VARANDEL,TQ4700 Initial OK !";
inline constexpr const char* kInitialFail = "VARANDEL,TQ4700 Initial Fail !";
inline constexpr const char* kVisaLibraryError = "Initializing VISA library error.";
inline constexpr const char* kVisaLibraryErrorTitle = "TQ4700 scan card test";
// What a TQ4700 answers "*IDN?" with, whatever follows.
inline constexpr const char* kIdentityPrefix = "VARANDEL,TQ4700";

// How the latest Initial went, for whoever shows the link's state.
struct InitialOutcome {
    enum class Step {
        NotRun,      // Initial has not run yet
        NoVisa,      // the resource manager did not open
        NotFound,    // no resource matched the meter's pattern
        NotOpened,   // one matched, but it would not open
        Identified,  // it answered "*IDN?" as a TQ4700
        Unknown,     // it opened, but answered otherwise or not at all
    };
    Step step = Step::NotRun;
    visa::ViStatus status = visa::VI_SUCCESS;  // the failing call's status
    std::string resource;
    std::string identity;  // the "*IDN?" reply as shown text
    std::string reason;    // the failing status in words
};

// The window's Initial: opens the meter, resets and identifies it, and asks
// whether a scanner card is fitted. With a card the mode switch is checked
// (its click handler lays the window out); without one the window is laid
// out for CH1 alone.
class MeterInitial {
  public:
    MeterInitial(Panel& panel, Clock& clock, InstrumentSession& session, MessageBoxes& boxes);

    void Initial();
    const InitialOutcome& outcome() const { return outcome_; }

  private:
    void layOutForOneChannel();
    // Reconnect may find a card where an earlier start-up found none: what
    // the one-channel layout hid and emptied comes back.
    void layOutForTheCard();
    // The failure stays on screen and the resource manager is closed.
    void notFound();
    bool openMeter();
    void identify();
    void probeCard();

    Panel& p_;
    Clock& clock_;
    InstrumentSession& session_;
    MessageBoxes& boxes_;
    InitialOutcome outcome_;
    bool oneChannelLayout_ = false;
};

}  // namespace tq
