#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "instrument/visa_api.h"
#include "sim/meter.h"

namespace tq {
class Clock;
}

namespace tq::visa {

// How the program reaches the meter, as chosen on the command line.
struct LinkOptions {
    // --visa-library PATH: this library and no other. Empty: the usual
    // system libraries in turn, then the built-in provider.
    std::string visaLibrary;
    bool searchSystemVisa = true;
    // --simulate: the in-process simulated meter (and no real USB meter).
    std::optional<sim::Options> simulator;
    // The simulator's time, and the trace's while simulating. Needed with
    // a simulator.
    Clock* clock = nullptr;
    // --resource NAME: the one resource every search reports.
    std::string resource;
    // --trace FILE.
    std::filesystem::path traceFile;
    // Where the built-in provider looks for usbtmc devices and their nodes.
    std::filesystem::path sysRoot = "/sys";
    std::filesystem::path devRoot = "/dev";
};

struct Link {
    std::unique_ptr<VisaApi> visa;
    // The simulated meter, owned by visa; nullptr without --simulate.
    sim::Meter* meter = nullptr;
    // Which provider was chosen ("system VISA /usr/lib/libvisa.so.0",
    // "built-in", ...).
    std::string description;
    // What went wrong on the way (a library that did not load, a trace file
    // that cannot be written), for the program's log.
    std::vector<std::string> problems;
};

// Never fails: when a named library cannot be loaded, the link's calls
// report VI_ERROR_SYSTEM_ERROR, which the start-up shows as a VISA library
// error, and the reason is in problems.
Link openLink(const LinkOptions& options);

}  // namespace tq::visa
