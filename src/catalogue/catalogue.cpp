#include "catalogue/catalogue.h"

#include <algorithm>
#include <array>

#include "common/number_text.h"

namespace tq::catalogue {
namespace {

using std::string_view_literals::operator""sv;

// With the scanner card the voltage inputs are routed through its relays,
// which carry neither the top range nor autoranging.
constexpr std::array kVoltRangesCard{"100V"sv, "10V"sv, "1V"sv, "100mV"sv};
constexpr std::array kDcvRangesMain{"AUTO"sv, "1000V"sv, "100V"sv, "10V"sv, "1V"sv, "100mV"sv};
// The AC input tops out at 750 V rms.
constexpr std::array kAcvRangesMain{"AUTO"sv, "750V"sv, "100V"sv, "10V"sv, "1V"sv, "100mV"sv};
constexpr std::array kResistanceRanges{"AUTO"sv, "100M"sv, "10M"sv, "1M"sv,
                                       "100K"sv, "10K"sv,  "1K"sv,  "100"sv};

struct RangeValue {
    std::string_view text;
    double value;
};

constexpr std::array kRangeValues{
    RangeValue{.text = "1000V", .value = 1000},     RangeValue{.text = "750V", .value = 750},
    RangeValue{.text = "100V", .value = 100},       RangeValue{.text = "10V", .value = 10},
    RangeValue{.text = "1V", .value = 1},           RangeValue{.text = "100mV", .value = 0.1},
    RangeValue{.text = "100M", .value = 100000000}, RangeValue{.text = "10M", .value = 10000000},
    RangeValue{.text = "1M", .value = 1000000},     RangeValue{.text = "100K", .value = 100000},
    RangeValue{.text = "10K", .value = 10000},      RangeValue{.text = "1K", .value = 1000},
    RangeValue{.text = "100", .value = 100},
};

constexpr std::array kFunctions{
    Function{
        .name = "DCV",
        .lastChannel = kChannelCount,
        .isAc = false,
        .rangesScanCard = kVoltRangesCard,
        .rangesMainUnit = kDcvRangesMain,
        .defaultRange = "100V",
        .scanWord = "VOLT:DC",
        .scanRangeHeader = "SENS:VOLT:DC:RANG ",
        .confHeader = "CONF:VOLT:DC ",
        .confTakesValue = true,
        .valueTrimmed = true,
        .further = FurtherLines::None,
        .nplcLine = "",
        .runTranslation = RunTranslation::Always,
        .mainUnitPauseMs = 0,
        .mainUnitYields = false,
        .senseChannelOffset = 0,
    },
    Function{
        .name = "ACV",
        .lastChannel = kChannelCount,
        .isAc = true,
        .rangesScanCard = kVoltRangesCard,
        .rangesMainUnit = kAcvRangesMain,
        .defaultRange = "100V",
        .scanWord = "VOLT:AC",
        .scanRangeHeader = "SENS:VOLT:AC:RANG ",
        .confHeader = "CONF:VOLT:AC ",
        .confTakesValue = true,
        .valueTrimmed = true,
        .further = FurtherLines::Band,
        .nplcLine = "",
        .runTranslation = RunTranslation::Always,
        .mainUnitPauseMs = 50,
        .mainUnitYields = false,
        .senseChannelOffset = 0,
    },
    // For Frequency and Period the range is the input voltage range; the
    // main-unit CONF lines leave it to the meter ("DEF").
    Function{
        .name = "Frequency",
        .lastChannel = kChannelCount,
        .isAc = true,
        .rangesScanCard = kVoltRangesCard,
        .rangesMainUnit = kAcvRangesMain,
        .defaultRange = "100V",
        .scanWord = "FREQ",
        .scanRangeHeader = "SENS:FREQ:VOLT:RANG ",
        .confHeader = "CONF:FREQ DEF",
        .confTakesValue = false,
        .valueTrimmed = true,
        .further = FurtherLines::BandAperture,
        .nplcLine = "",
        // Once a range has been picked by hand, the translation made then
        // (for the row on the left axis) stands for the run.
        .runTranslation = RunTranslation::UnlessRangeChanged,
        .mainUnitPauseMs = 50,
        .mainUnitYields = true,
        .senseChannelOffset = 0,
    },
    Function{
        .name = "Period",
        .lastChannel = kChannelCount,
        .isAc = true,
        .rangesScanCard = kVoltRangesCard,
        .rangesMainUnit = kAcvRangesMain,
        .defaultRange = "100V",
        .scanWord = "PER",
        .scanRangeHeader = "SENS:PER:VOLT:RANG ",
        .confHeader = "CONF:PER DEF",
        .confTakesValue = false,
        .valueTrimmed = true,
        .further = FurtherLines::BandAperture,
        .nplcLine = "",
        .runTranslation = RunTranslation::UnlessRangeChanged,
        .mainUnitPauseMs = 50,
        .mainUnitYields = false,
        .senseChannelOffset = 0,
    },
    // Resistance values keep the number text's leading blank, so two blanks
    // follow the header; the meter accepts both forms. The run sends the row's
    // own range and leaves the full scale to the left axis.
    Function{
        .name = "2WR",
        .lastChannel = kChannelCount,
        .isAc = false,
        .rangesScanCard = kResistanceRanges,
        .rangesMainUnit = kResistanceRanges,
        .defaultRange = "1M",
        .scanWord = "RES",
        .scanRangeHeader = "SENS:RES:RANG ",
        .confHeader = "CONF:RES ",
        .confTakesValue = true,
        .valueTrimmed = false,
        .further = FurtherLines::Nplc,
        .nplcLine = "SENS:RES:NPLC 1",
        .runTranslation = RunTranslation::Never,
        .mainUnitPauseMs = 40,
        .mainUnitYields = false,
        .senseChannelOffset = 0,
    },
    // The card senses a 4-wire channel on the channel five above it, so only
    // CH1-CH5 can be 4-wire channels.
    Function{
        .name = "4WR",
        .lastChannel = 5,
        .isAc = false,
        .rangesScanCard = kResistanceRanges,
        .rangesMainUnit = kResistanceRanges,
        .defaultRange = "1M",
        .scanWord = "FRES",
        .scanRangeHeader = "SENS:FRES:RANG ",
        .confHeader = "CONF:FRES ",
        .confTakesValue = true,
        .valueTrimmed = false,
        .further = FurtherLines::Nplc,
        .nplcLine = "SENS:FRES:NPLC 1",
        .runTranslation = RunTranslation::Never,
        .mainUnitPauseMs = 40,
        .mainUnitYields = false,
        .senseChannelOffset = 5,
    },
};

// The shortest gate, also for the 200 Hz band: signals that pass a 200 Hz
// filter give at least two periods in 10 ms. Both run modes use this entry.
constexpr std::string_view kShortestAperture = "SENS:FREQ:APER 0.01";

constexpr std::array kFilters{
    Filter{
        .text = "3Hz",
        .band = 3,
        .apertureLine = "SENS:FREQ:APER 1",
        .minScanTimeCard = 1,
        .minTrigDelayCard = 0.1,
        .minTrigDelayNoCard = 1,
        .gateSeconds = 1,
    },
    Filter{
        .text = "20Hz",
        .band = 20,
        .apertureLine = "SENS:FREQ:APER 0.1",
        .minScanTimeCard = 0.3,
        .minTrigDelayCard = 0.03,
        .minTrigDelayNoCard = 0.3,
        .gateSeconds = 0.1,
    },
    Filter{
        .text = "200Hz",
        .band = 200,
        .apertureLine = kShortestAperture,
        .minScanTimeCard = 0.05,
        .minTrigDelayCard = 0.01,
        .minTrigDelayNoCard = 0.03,
        .gateSeconds = 0.01,
    },
};

constexpr std::string_view kScanFunctionHeader = "rout:scan:func ";
constexpr std::string_view kBandHeader = "DET:BAND ";

std::string valueText(const Function& f, double value) {
    return f.valueTrimmed ? trimmedNumberText(value) : numberText(value);
}

std::string bandLine(int band) {
    return std::string(kBandHeader) + trimmedNumberText(band);
}

// The lines after the range or configure line, in order.
std::vector<std::string> furtherLines(const Function& f, int band) {
    switch (f.further) {
        case FurtherLines::None:
            return {};
        case FurtherLines::Band:
            return {bandLine(band)};
        case FurtherLines::BandAperture:
            return {bandLine(band), std::string(apertureLine(band))};
        case FurtherLines::Nplc:
            return {std::string(f.nplcLine)};
    }
    return {};
}

}  // namespace

std::span<const Function> functions() {
    return kFunctions;
}
std::span<const Filter> filters() {
    return kFilters;
}

const Function* findFunction(std::string_view name) {
    const auto* it = std::ranges::find(kFunctions, name, &Function::name);
    return it == kFunctions.end() ? nullptr : it;
}

const Filter* findFilter(std::string_view text) {
    const auto* it = std::ranges::find(kFilters, text, &Filter::text);
    return it == kFilters.end() ? nullptr : it;
}

bool isAcFunction(std::string_view name) {
    const Function* f = findFunction(name);
    return f != nullptr && f->isAc;
}

std::vector<std::string_view> functionsOffered(int channelIndex) {
    std::vector<std::string_view> names;
    for (const Function& f : kFunctions) {
        if (channelIndex + 1 <= f.lastChannel) {
            names.push_back(f.name);
        }
    }
    return names;
}

std::span<const std::string_view> rangeList(const Function& function, RunMode mode) {
    return mode == RunMode::ScanCard ? function.rangesScanCard : function.rangesMainUnit;
}

std::optional<double> rangeValue(std::string_view rangeText) {
    const auto* it = std::ranges::find(kRangeValues, rangeText, &RangeValue::text);
    if (it == kRangeValues.end()) {
        return std::nullopt;
    }
    return it->value;
}

int lowerBand(int band, std::string_view filterText) {
    const Filter* f = findFilter(filterText);
    return f != nullptr ? std::min(band, f->band) : band;
}

int minBand(std::span<const std::string_view> filterTexts) {
    int band = kNoBand;
    for (std::string_view text : filterTexts) {
        band = lowerBand(band, text);
    }
    return band;
}

std::string_view apertureLine(int band) {
    const auto* it = std::ranges::find(kFilters, band, &Filter::band);
    // No filter taken (only possible when no Frequency or Period row is
    // visible): the shortest gate.
    return it == kFilters.end() ? kShortestAperture : it->apertureLine;
}

double measuringSeconds(std::string_view function, int band) {
    // NPLC 1 on 50 Hz mains, the slower of the two.
    constexpr double kLineCycleSeconds = 0.02;
    const Function* f = findFunction(function);
    if (f == nullptr) {
        return 0;
    }
    if (!f->isAc) {
        return kLineCycleSeconds;
    }
    // The card's minimum scan time of a filter is its settling time.
    const auto* it = std::ranges::find(kFilters, band, &Filter::band);
    const Filter& filter = it == kFilters.end() ? kFilters.back() : *it;
    const double gate = f->further == FurtherLines::BandAperture ? filter.gateSeconds : 0;
    return filter.minScanTimeCard + gate;
}

std::vector<CommandStep> scanCardLines(std::string_view function, int n, double rangeValue,
                                       int minBand) {
    const Function* f = findFunction(function);
    if (f == nullptr) {
        return {};
    }
    std::vector<std::string> lines;
    lines.push_back(std::string(kScanFunctionHeader) + trimmedNumberText(n) + ",\"" +
                    std::string(f->scanWord) + "\"");
    lines.push_back(std::string(f->scanRangeHeader) + valueText(*f, rangeValue));
    for (std::string& line : furtherLines(*f, minBand)) {
        lines.push_back(std::move(line));
    }
    std::vector<CommandStep> steps;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const bool last = i + 1 == lines.size();
        steps.push_back({.line = std::move(lines[i]),
                         .pauseAfterMs = last ? 0 : kScanCardLinePauseMs,
                         .yieldAfter = false});
    }
    return steps;
}

std::vector<CommandStep> mainUnitLines(std::string_view function, double rangeValue, int minBand) {
    const Function* f = findFunction(function);
    if (f == nullptr) {
        return {};
    }
    std::string conf(f->confHeader);
    if (f->confTakesValue) {
        conf += valueText(*f, rangeValue);
    }
    std::vector<std::string> lines{std::move(conf)};
    for (std::string& line : furtherLines(*f, minBand)) {
        lines.push_back(std::move(line));
    }
    // The configure and band lines are followed by the function's pause; the
    // aperture and NPLC lines, which end a sequence, by none.
    const bool hasBand =
        f->further == FurtherLines::Band || f->further == FurtherLines::BandAperture;
    const std::size_t paused = hasBand ? 2 : 1;
    std::vector<CommandStep> steps;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        steps.push_back({.line = std::move(lines[i]),
                         .pauseAfterMs = i < paused ? f->mainUnitPauseMs : 0,
                         .yieldAfter = i < paused && f->mainUnitYields});
    }
    return steps;
}

}  // namespace tq::catalogue
