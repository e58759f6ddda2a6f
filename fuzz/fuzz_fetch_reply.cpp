// The fetch-reply parser on arbitrary replies and channel counts, and on
// replies the simulated meter formats, whose readings must come back.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "common/number_text.h"
#include "engine/fetch_reply.h"
#include "fuzz_check.h"
#include "sim/reading_format.h"

namespace {

using tq::fuzz::check;

void checkArbitrary(FuzzedDataProvider& in) {
    const double channels = in.ConsumeFloatingPoint<double>();
    const auto maxFields = in.ConsumeIntegralInRange<std::size_t>(0, 64);
    const std::string reply = in.ConsumeRemainingBytesAsString();
    const std::string line = tq::fetchLine(reply, channels);
    check(reply.starts_with(line), "line not a prefix of the reply");
    check(channels > 0 || line.empty(), "line for no channels");
    const auto readings = tq::fieldReadings(line, maxFields);
    check(readings.size() == std::min(line.size() / tq::kReadingFieldWidth, maxFields),
          "reading count");
    for (std::size_t k = 0; k < readings.size(); ++k) {
        const std::string_view field =
            std::string_view(line).substr(k * tq::kReadingFieldWidth, tq::kReadingNumberWidth);
        check(readings[k].has_value() == tq::holdsNumber(field), "reading without a number");
        check(!readings[k] || !std::isnan(*readings[k]), "NaN reading");
    }
}

// What the meter sends: up to ten readings of its range, overload included.
void checkMeterReply(FuzzedDataProvider& in) {
    std::vector<double> values(in.ConsumeIntegralInRange<std::size_t>(1, 10));
    for (double& v : values) {
        v = in.ConsumeBool() ? in.ConsumeFloatingPointInRange(-9.9e37, 9.9e37)
                             : in.ConsumeFloatingPointInRange(-1e3, 1e3);
    }
    const auto scanned = in.ConsumeIntegralInRange<std::size_t>(0, values.size());
    const std::string reply = tq::sim::formatReadings(values) + "\n";
    const auto readings = tq::fieldReadings(tq::fetchLine(reply, static_cast<double>(scanned)), 10);
    check(readings.size() == scanned, "meter reply reading count");
    for (std::size_t k = 0; k < scanned; ++k) {
        const double v = values[k];
        // Nine significant digits; below the format's exponent range, zero.
        const double tolerance = std::fabs(v) < 1e-99 ? 1e-99 : std::fabs(v) * 5.000001e-9;
        check(readings[k] && std::fabs(*readings[k] - v) <= tolerance, "meter reading differs",
              reply);
        check(*readings[k] == tq::Val(tq::sim::formatReading(v)), "reading is not Val of the field",
              reply);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    if (in.ConsumeBool()) {
        checkMeterReply(in);
    } else {
        checkArbitrary(in);
    }
    return 0;
}
