#pragma once

#include <string>

namespace tq::status {

// Where the link to the meter stands, as the window last learnt it.
enum class LinkState {
    Starting,      // the start-up has not looked for the meter yet
    Simulated,     // the built-in simulated meter answered
    Connected,     // a meter answered its identity query
    WrongMeter,    // something answered, but not as a TQ4700
    NoVisa,        // no VISA library could be opened
    NoMeter,       // nothing matching was found, or it would not open
    NoPermission,  // a meter is there, but its device node is not ours to open
    Silent,        // a run ended because the meter stopped answering
    Lost,          // a run ended because the connection went
};

struct LinkFacts {
    LinkState state = LinkState::Starting;
    std::string resource;    // the resource in use, or the one that failed
    std::string identity;    // the whole "*IDN?" reply, when one came
    std::string serial;      // the resource's serial label
    std::string statusName;  // the failing VISA status, "VI_ERROR_TMO"
    // The failure in words and what to do about it, one line each.
    std::string reason;
};

// A state in which running Initial again may bring the meter back.
inline bool mayReconnect(LinkState state) {
    return state == LinkState::NoVisa || state == LinkState::NoMeter ||
           state == LinkState::NoPermission || state == LinkState::Silent ||
           state == LinkState::Lost;
}

}  // namespace tq::status
