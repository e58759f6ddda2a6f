#pragma once

#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "sim/meter.h"

// The command line of tq4700-sim, parsed without side effects.
namespace tq::sim {

struct ServerOptions {
    std::string listenAddress = "127.0.0.1";  // numeric IPv4 or IPv6 address
    int port = 5025;                          // 0: any free port, printed at start
    Options meter;
    std::string logFile;  // empty: no log
    bool help = false;
    bool version = false;
};

struct OptionsError {
    std::string message;
};

// args without the program name; "--opt value" and "--opt=value" alike. A
// value given twice: the last one counts.
std::variant<ServerOptions, OptionsError> parseServerOptions(
    std::span<const std::string_view> args);

// The --help text; its usage line names the program as QCoreApplication
// has it.
std::string usageText();

}  // namespace tq::sim
