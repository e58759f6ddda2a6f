// The simulated meter's SCPI parser on arbitrary text, and the meter itself
// fed arbitrary bytes, message ends, reads and clock steps in any order.
#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <variant>

#include "common/virtual_clock.h"
#include "fuzz_check.h"
#include "sim/meter.h"
#include "sim/scpi_parser.h"

namespace {

using tq::fuzz::check;
namespace scpi = tq::sim::scpi;

// Lines of the meter's dialect, so inputs reach past the header lookup.
constexpr std::array<std::string_view, 16> kLines = {
    "*RST",
    "*IDN?",
    "*CLS;*OPC?",
    "SYST:ERR?",
    "ROUT:SCAN:COUNT 10;TIMER 0.5",
    "ROUT:SCAN:FUNC 3,\"VOLT:AC\"",
    "ROUT:SCAN:STATE ON",
    "ROUT:SCAN:STEP",
    "FETCH?",
    "READ?",
    "INIT",
    "CONF:RES 1000",
    "SENS:VOLT:DC:RANG MAX;NPLC 10",
    "TRIG:SOUR BUS;DEL 1E-3",
    "MEAS:FREQ?",
    "SYST:LOC",
};

void checkParser(std::string_view message) {
    const auto units = scpi::splitUnits(message);
    const char* previousEnd = message.data();
    for (const std::string_view unit : units) {
        check(unit.data() >= previousEnd &&
                  unit.data() + unit.size() <= message.data() + message.size(),
              "unit outside its message", message);
        previousEnd = unit.data() + unit.size();
        const scpi::ParseResult parsed = scpi::parseUnit(unit);
        const auto* program = std::get_if<scpi::ProgramUnit>(&parsed);
        if (program == nullptr) {
            check(std::get<scpi::ParseFailure>(parsed).code < 0, "error number", unit);
            continue;
        }
        check(!program->nodes.empty(), "unit without a header", unit);
        for (const scpi::Param& p : program->params) {
            if (p.kind == scpi::ParamKind::Number) {
                const auto again = scpi::parseNumber(p.text);
                check(std::holds_alternative<double>(again) && std::get<double>(again) == p.number,
                      "number parameter reads differently", p.text);
            }
        }
    }
    // A decimal numeric parameter is what strtod reads, all of it.
    const auto number = scpi::parseNumber(message);
    if (const double* value = std::get_if<double>(&number)) {
        const std::string text(message);
        char* end = nullptr;
        const double reference = std::strtod(text.c_str(), &end);
        check(end == text.c_str() + text.size() && reference == *value, "parseNumber", message);
    }
    scpi::mnemonicMatches(message.substr(0, message.size() / 2),
                          message.substr(message.size() / 2));
}

tq::sim::Options optionsFrom(FuzzedDataProvider& in) {
    tq::sim::Options options;
    options.card = in.ConsumeBool();
    options.seed = in.ConsumeIntegral<std::uint64_t>();
    if (in.ConsumeBool()) {
        auto& f = options.faults;
        f.dropReply = in.ConsumeProbability<double>();
        f.slowReply = in.ConsumeProbability<double>();
        f.slowReplyMs = in.ConsumeIntegralInRange<std::int64_t>(0, 100'000);
        f.garbage = in.ConsumeProbability<double>();
        f.shortFetch = in.ConsumeProbability<double>();
        f.disconnectAfterLines = in.ConsumeIntegralInRange(-1, 50);
    }
    return options;
}

void checkRead(tq::sim::Meter& meter, std::size_t maxBytes, std::int64_t timeoutMs) {
    const bool wasConnected = meter.connected();
    const auto result = meter.read(maxBytes, timeoutMs);
    check(result.bytes.size() <= maxBytes, "read more than asked");
    check(wasConnected == (result.status != tq::sim::Meter::ReadStatus::Disconnected),
          "disconnected status");
    for (const char c : result.bytes) {
        check(c == '\n' || (c >= ' ' && c <= '~'), "reply byte not printable", result.bytes);
    }
}

void driveMeter(FuzzedDataProvider& in) {
    tq::VirtualClock clock;
    tq::sim::Meter meter(clock, optionsFrom(in));
    while (in.remaining_bytes() > 0) {
        switch (in.ConsumeIntegralInRange(0, 5)) {
            case 0:
                meter.receive(in.ConsumeRandomLengthString(1024));
                break;
            case 1:
                meter.receive(std::string(in.PickValueInArray(kLines)) + "\n");
                break;
            case 2:
                meter.endMessage();
                break;
            case 3: {
                const auto maxBytes = in.ConsumeIntegralInRange<std::size_t>(0, 8192);
                // Up to VISA's longest finite time-out (2^32 - 2 ms).
                const auto timeoutMs = in.ConsumeIntegralInRange<std::int64_t>(0, 0xFFFFFFFE);
                checkRead(meter, maxBytes, timeoutMs);
                break;
            }
            case 4:
                clock.advance(in.ConsumeIntegralInRange<std::int64_t>(0, 1'000'000));
                break;
            default:
                meter.setTranscriptKept(in.ConsumeBool());
                break;
        }
    }
    // Whatever was asked, the replies drain and the meter then goes quiet.
    for (int i = 0; i < 10'000 && meter.nextReplyMs(); ++i) {
        checkRead(meter, 4096, 0xFFFFFFFE);
    }
    check(!meter.nextReplyMs(), "replies never drain");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    checkParser(std::string_view(reinterpret_cast<const char*>(data), size));
    FuzzedDataProvider in(data, size);
    driveMeter(in);
    return 0;
}
