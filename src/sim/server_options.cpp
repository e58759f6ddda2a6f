#include "sim/server_options.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <optional>

namespace tq::sim {

namespace {

enum class Takes { Nothing, Value };

struct OptionSpec {
    std::string_view name;
    Takes takes;
    std::string_view valueName;
    std::string_view help;
};

constexpr std::array optionSpecs{
    OptionSpec{.name = "--listen",
               .takes = Takes::Value,
               .valueName = "ADDR",
               .help = "numeric IPv4 or IPv6 address to listen on (default 127.0.0.1)"},
    OptionSpec{.name = "--port",
               .takes = Takes::Value,
               .valueName = "N",
               .help = "TCP port (default 5025; 0 picks a free one)"},
    OptionSpec{.name = "--no-card",
               .takes = Takes::Nothing,
               .valueName = "",
               .help = "no scanner card fitted (\"Rout:state?\" answers 0)"},
    OptionSpec{.name = "--identity",
               .takes = Takes::Value,
               .valueName = "TEXT",
               .help = "reply to \"*IDN?\" (default VARANDEL,TQ4700,TW00000001,2.01)"},
    OptionSpec{.name = "--seed",
               .takes = Takes::Value,
               .valueName = "N",
               .help = "seed of the signals and faults (default 1)"},
    OptionSpec{.name = "--drop",
               .takes = Takes::Value,
               .valueName = "P",
               .help = "probability that a reply is never sent"},
    OptionSpec{.name = "--slow",
               .takes = Takes::Value,
               .valueName = "P",
               .help = "probability that a reply comes late"},
    OptionSpec{.name = "--slow-ms",
               .takes = Takes::Value,
               .valueName = "MS",
               .help = "how late a slow reply comes (default 1500)"},
    OptionSpec{.name = "--garbage",
               .takes = Takes::Value,
               .valueName = "P",
               .help = "probability that a reply is replaced by random characters"},
    OptionSpec{.name = "--short-fetch",
               .takes = Takes::Value,
               .valueName = "P",
               .help = "probability that a \"fetch?\" reply is cut short"},
    OptionSpec{.name = "--disconnect-after",
               .takes = Takes::Value,
               .valueName = "N",
               .help = "drop the connection after N lines"},
    OptionSpec{.name = "--log",
               .takes = Takes::Value,
               .valueName = "FILE",
               .help = "write every transfer to FILE (\">\" received, \"<\" sent)"},
    OptionSpec{.name = "--help",
               .takes = Takes::Nothing,
               .valueName = "",
               .help = "show this help and exit"},
    OptionSpec{.name = "--version",
               .takes = Takes::Nothing,
               .valueName = "",
               .help = "show the version and exit"},
};

template <typename T>
std::optional<T> parseWhole(std::string_view text) {
    T value{};
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::optional<double> parseProbability(std::string_view text) {
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || !(value >= 0 && value <= 1)) {
        return std::nullopt;
    }
    return value;
}

// Stores one option's value; false when the value is not acceptable.
bool apply(ServerOptions& options, std::string_view name, std::string_view value) {
    Faults& faults = options.meter.faults;
    if (name == "--listen") {
        options.listenAddress = value;
        return !value.empty();
    }
    if (name == "--identity") {
        options.meter.identity = value;
        return true;
    }
    if (name == "--log") {
        options.logFile = value;
        return !value.empty();
    }
    if (name == "--port") {
        const auto port = parseWhole<int>(value);
        options.port = port.value_or(-1);
        return port && *port >= 0 && *port <= 65535;
    }
    if (name == "--seed") {
        const auto seed = parseWhole<std::uint64_t>(value);
        options.meter.seed = seed.value_or(0);
        return seed.has_value();
    }
    if (name == "--slow-ms") {
        const auto ms = parseWhole<std::int64_t>(value);
        faults.slowReplyMs = ms.value_or(0);
        return ms && *ms >= 0;
    }
    if (name == "--disconnect-after") {
        const auto lines = parseWhole<int>(value);
        faults.disconnectAfterLines = lines.value_or(-1);
        return lines && *lines >= 0;
    }
    const auto probability = parseProbability(value);
    if (name == "--drop") {
        faults.dropReply = probability.value_or(0);
    } else if (name == "--slow") {
        faults.slowReply = probability.value_or(0);
    } else if (name == "--garbage") {
        faults.garbage = probability.value_or(0);
    } else if (name == "--short-fetch") {
        faults.shortFetch = probability.value_or(0);
    }
    return probability.has_value();
}

}  // namespace

std::variant<ServerOptions, OptionsError> parseServerOptions(
    std::span<const std::string_view> args) {
    ServerOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view name = args[i];
        std::optional<std::string_view> inlineValue;
        if (const std::size_t equals = name.find('='); equals != std::string_view::npos) {
            inlineValue = name.substr(equals + 1);
            name = name.substr(0, equals);
        }
        const OptionSpec* spec = nullptr;
        for (const OptionSpec& candidate : optionSpecs) {
            if (candidate.name == name) {
                spec = &candidate;
            }
        }
        if (spec == nullptr) {
            return OptionsError{"unknown option " + std::string(args[i])};
        }
        if (spec->takes == Takes::Nothing) {
            if (inlineValue) {
                return OptionsError{std::string(name) + " takes no value"};
            }
            options.help = options.help || name == "--help";
            options.version = options.version || name == "--version";
            options.meter.card = options.meter.card && name != "--no-card";
            continue;
        }
        if (!inlineValue) {
            if (i + 1 >= args.size()) {
                return OptionsError{std::string(name) + " needs a value " +
                                    std::string(spec->valueName)};
            }
            inlineValue = args[++i];
        }
        if (!apply(options, name, *inlineValue)) {
            return OptionsError{"bad value for " + std::string(name) + ": " +
                                std::string(*inlineValue)};
        }
    }
    return options;
}

std::string usageText() {
    std::string text =
        "Usage: tq4700-sim [OPTION]...\n"
        "A simulated TQ4700 meter with its scanner card, speaking SCPI over TCP\n"
        "(one line per message, ended by \"\\n\"). Every connection talks to a\n"
        "freshly powered-on meter. Probabilities P are from 0 to 1.\n\n";
    for (const OptionSpec& spec : optionSpecs) {
        std::string left = "  " + std::string(spec.name);
        if (spec.takes == Takes::Value) {
            left += " " + std::string(spec.valueName);
        }
        left.resize(std::max<std::size_t>(left.size() + 2, 26), ' ');
        text += left + std::string(spec.help) + "\n";
    }
    return text;
}

}  // namespace tq::sim
