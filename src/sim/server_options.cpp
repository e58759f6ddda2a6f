#include "sim/server_options.h"

#include <QCommandLineParser>
#include <QStringList>
#include <array>
#include <charconv>
#include <cstdint>
#include <limits>
#include <optional>

namespace tq::sim {
namespace {

template <typename T>
std::optional<T> parseWhole(std::string_view text) {
    T value{};
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

// Stores the whole text as a number from low to high; false for anything else.
template <typename T>
bool setWhole(T& field, std::string_view text, T low = 0, T high = std::numeric_limits<T>::max()) {
    const auto value = parseWhole<T>(text);
    if (!value || !(*value >= low && *value <= high)) {
        return false;
    }
    field = *value;
    return true;
}

bool setProbability(double& field, std::string_view text) {
    return setWhole(field, text, 0.0, 1.0);
}

struct OptionRow {
    const char* name;
    const char* valueName;  // nullptr: a flag
    const char* help;
    // Stores the value (a flag's is empty); false when it is not acceptable.
    bool (*apply)(ServerOptions&, std::string_view value);
};

constexpr std::array kOptions{
    OptionRow{.name = "listen",
              .valueName = "ADDR",
              .help = "numeric IPv4 or IPv6 address to listen on (default 127.0.0.1)",
              .apply =
                  [](ServerOptions& o, std::string_view v) {
                      o.listenAddress = v;
                      return !v.empty();
                  }},
    OptionRow{.name = "port",
              .valueName = "N",
              .help = "TCP port (default 5025; 0 picks a free one)",
              .apply = [](ServerOptions& o,
                          std::string_view v) { return setWhole(o.port, v, 0, 65535); }},
    OptionRow{.name = "no-card",
              .valueName = nullptr,
              .help = "no scanner card fitted (\"Rout:state?\" answers 0)",
              .apply =
                  [](ServerOptions& o, std::string_view) {
                      o.meter.card = false;
                      return true;
                  }},
    OptionRow{.name = "identity",
              .valueName = "TEXT",
              .help = "reply to \"*IDN?\" (default VARANDEL,TQ4700,TW00000001,2.01)",
              .apply =
                  [](ServerOptions& o, std::string_view v) {
                      o.meter.identity = v;
                      return true;
                  }},
    OptionRow{
        .name = "seed",
        .valueName = "N",
        .help = "seed of the signals and faults (default 1)",
        .apply = [](ServerOptions& o, std::string_view v) { return setWhole(o.meter.seed, v); }},
    OptionRow{
        .name = "drop",
        .valueName = "P",
        .help = "probability that a reply is never sent",
        .apply = [](ServerOptions& o,
                    std::string_view v) { return setProbability(o.meter.faults.dropReply, v); }},
    OptionRow{
        .name = "slow",
        .valueName = "P",
        .help = "probability that a reply comes late",
        .apply = [](ServerOptions& o,
                    std::string_view v) { return setProbability(o.meter.faults.slowReply, v); }},
    OptionRow{.name = "slow-ms",
              .valueName = "MS",
              .help = "how late a slow reply comes (default 1500)",
              .apply = [](ServerOptions& o,
                          std::string_view v) { return setWhole(o.meter.faults.slowReplyMs, v); }},
    OptionRow{
        .name = "garbage",
        .valueName = "P",
        .help = "probability that a reply is replaced by random characters",
        .apply = [](ServerOptions& o,
                    std::string_view v) { return setProbability(o.meter.faults.garbage, v); }},
    OptionRow{
        .name = "short-fetch",
        .valueName = "P",
        .help = "probability that a \"fetch?\" reply is cut short",
        .apply = [](ServerOptions& o,
                    std::string_view v) { return setProbability(o.meter.faults.shortFetch, v); }},
    OptionRow{.name = "disconnect-after",
              .valueName = "N",
              .help = "the meter vanishes after N lines (connections then close)",
              .apply =
                  [](ServerOptions& o, std::string_view v) {
                      return setWhole(o.meter.faults.disconnectAfterLines, v);
                  }},
    OptionRow{.name = "log",
              .valueName = "FILE",
              .help = "write every transfer to FILE (\">\" received, \"<\" sent)",
              .apply =
                  [](ServerOptions& o, std::string_view v) {
                      o.logFile = v;
                      return !v.empty();
                  }},
};

// The parser with every option; its help lists them in this order.
void describe(QCommandLineParser& parser) {
    parser.setApplicationDescription(
        QStringLiteral("A simulated TQ4700 meter with its scanner card, speaking SCPI over TCP\n"
                       "(one line per message, ended by \"\\n\"). One meter serves the newest\n"
                       "connection and keeps its settings from one connection to the next.\n"
                       "Probabilities P are from 0 to 1."));
    for (const OptionRow& row : kOptions) {
        parser.addOption(QCommandLineOption(QString::fromLatin1(row.name),
                                            QString::fromLatin1(row.help),
                                            QString::fromLatin1(row.valueName)));
    }
    parser.addOption(
        {{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("show this help and exit")});
    parser.addOption({QStringLiteral("version"), QStringLiteral("show the version and exit")});
}

}  // namespace

std::variant<ServerOptions, OptionsError> parseServerOptions(
    std::span<const std::string_view> args) {
    QStringList arguments{QStringLiteral("tq4700-sim")};
    for (const std::string_view arg : args) {
        arguments += QString::fromUtf8(arg.data(), static_cast<qsizetype>(arg.size()));
    }
    QCommandLineParser parser;
    describe(parser);
    if (!parser.parse(arguments)) {
        return OptionsError{parser.errorText().toStdString()};
    }
    if (!parser.positionalArguments().isEmpty()) {
        return OptionsError{"unexpected argument '" +
                            parser.positionalArguments().constFirst().toStdString() + "'"};
    }
    ServerOptions options;
    options.help = parser.isSet(QStringLiteral("help"));
    options.version = parser.isSet(QStringLiteral("version"));
    for (const OptionRow& row : kOptions) {
        const QString name = QString::fromLatin1(row.name);
        if (!parser.isSet(name)) {
            continue;
        }
        const std::string value = row.valueName ? parser.value(name).toStdString() : std::string();
        if (!row.apply(options, value)) {
            return OptionsError{"bad value for --" + std::string(row.name) + ": " + value};
        }
    }
    return options;
}

std::string usageText() {
    QCommandLineParser parser;
    describe(parser);
    return parser.helpText().toStdString();
}

}  // namespace tq::sim
