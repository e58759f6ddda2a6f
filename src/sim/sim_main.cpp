// tq4700-sim: the simulated TQ4700 as a SCPI socket server.

#include <QCoreApplication>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string_view>
#include <variant>
#include <vector>

#include "common/steady_clock.h"
#include "sim/server_options.h"
#include "sim/sim_server.h"

namespace {

volatile std::sig_atomic_t stopSignal = 0;

extern "C" void onStopSignal(int) {
    stopSignal = 1;
}

// SIGINT and SIGTERM stay blocked except inside ppoll(), so one that comes
// between two waits is not lost. Returns the mask to wait with.
sigset_t installStopSignals() {
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigset_t stopSet;
    sigemptyset(&stopSet);
    sigaddset(&stopSet, SIGINT);
    sigaddset(&stopSet, SIGTERM);
    sigset_t previous;
    sigprocmask(SIG_BLOCK, &stopSet, &previous);
    sigdelset(&previous, SIGINT);
    sigdelset(&previous, SIGTERM);
    return previous;
}

}  // namespace

int main(int argc, char** argv) {
    // Names the program in the usage line of --help as it was started.
    const QCoreApplication app(argc, argv);
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    const auto parsed = tq::sim::parseServerOptions(args);
    if (const auto* failure = std::get_if<tq::sim::OptionsError>(&parsed)) {
        std::cerr << "tq4700-sim: " << failure->message << "\n"
                  << "Try 'tq4700-sim --help'.\n";
        return 2;
    }
    const auto& options = std::get<tq::sim::ServerOptions>(parsed);
    if (options.help) {
        std::cout << tq::sim::usageText();
        return 0;
    }
    if (options.version) {
        std::cout << "tq4700-sim " << TQ_VERSION << "\n";
        return 0;
    }

    std::ofstream logFile;
    if (!options.logFile.empty()) {
        logFile.open(options.logFile, std::ios::out | std::ios::trunc);
        if (!logFile) {
            std::cerr << "tq4700-sim: cannot write " << options.logFile << "\n";
            return 1;
        }
    }

    const sigset_t pollMask = installStopSignals();
    tq::SteadyClock clock;
    tq::sim::SimServer server(clock, options, logFile.is_open() ? &logFile : nullptr);
    if (const auto error = server.open()) {
        std::cerr << "tq4700-sim: " << *error << "\n";
        return 1;
    }
    const bool ipv6 = options.listenAddress.find(':') != std::string::npos;
    // The first line of output names the port, so scripts that ask for
    // --port 0 can find the one chosen.
    std::cout << "tq4700-sim listening on " << (ipv6 ? "[" : "") << options.listenAddress
              << (ipv6 ? "]" : "") << ":" << server.port() << std::endl;

    server.run([] { return stopSignal != 0; }, &pollMask);
    std::cout << "tq4700-sim stopped" << std::endl;
    return 0;
}
