#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/run_mode.h"

// The measurement catalogue: the functions a channel row offers, their range
// lists, the AC filters, and every SCPI word the meter is sent for them. This
// is the only place these words are spelled; the run asks for finished lines.
namespace tq::catalogue {

// What follows the range line (scan card) or the configure line (main unit).
enum class FurtherLines {
    None,
    Band,          // "DET:BAND " + band
    BandAperture,  // "DET:BAND " + band, then the aperture line of the band
    Nplc,          // the function's integration-time line
};

// When the run start translates the row's range text before sending it.
enum class RunTranslation {
    Always,
    UnlessRangeChanged,  // only while the function's range-changed flag is clear
    Never,               // the row's own range is sent; the full scale stays the axis's
};

struct Function {
    std::string_view name;
    int lastChannel;  // offered on CH1 .. CHlastChannel
    bool isAc;        // shows the shared filter and imposes scan/trigger minima
    std::span<const std::string_view> rangesScanCard;
    std::span<const std::string_view> rangesMainUnit;
    std::string_view defaultRange;
    std::string_view scanWord;         // in the card's "rout:scan:func " line
    std::string_view scanRangeHeader;  // followed directly by the value text
    std::string_view confHeader;       // main unit; followed by the value when confTakesValue
    bool confTakesValue;
    bool valueTrimmed;  // false: the value keeps its leading blank
    FurtherLines further;
    std::string_view nplcLine;
    RunTranslation runTranslation;
    int mainUnitPauseMs;     // main unit: after the configure and band lines
    bool mainUnitYields;     // a yield follows each of those pauses
    int senseChannelOffset;  // 4-wire: the card channel this many above senses
};

struct Filter {
    std::string_view text;
    int band;
    std::string_view apertureLine;
    double minScanTimeCard;  // seconds
    double minTrigDelayCard;
    double minTrigDelayNoCard;
    double gateSeconds;  // Frequency and Period: the aperture line's gate
};

// Texts a row holds besides the catalogue's functions and filters.
inline constexpr std::string_view kNoFunction = "NONE";
inline constexpr std::string_view kAutoRange = "AUTO";
inline constexpr std::string_view kDefaultFunction = "DCV";
inline constexpr std::string_view kDefaultFilter = "20Hz";
inline constexpr int kChannelCount = 10;

// Band when no visible row holds a filter text.
inline constexpr int kNoBand = 300;

// Picking an AC function writes these into the scan-time and trigger-delay
// fields whatever they held: the minima of the default filter with a card.
inline constexpr double kAcPickMinScanTime = 0.3;
inline constexpr double kAcPickMinTrigDelay = 0.03;

// Pauses of the scan-card programming.
inline constexpr int kScanCardLinePauseMs = 40;  // after each line of a channel but the last
inline constexpr int kChannelSlotPauseMs = 40;   // after every channel slot, skipped or not

std::span<const Function> functions();
std::span<const Filter> filters();

// nullptr for "NONE" and every text outside the catalogue.
const Function* findFunction(std::string_view name);
const Filter* findFilter(std::string_view text);
bool isAcFunction(std::string_view name);

// The function list of channel row `channelIndex` (0 = CH1), in list order.
std::vector<std::string_view> functionsOffered(int channelIndex);
std::span<const std::string_view> rangeList(const Function& function, RunMode mode);

// The number a range text stands for (volts or ohms); none for "AUTO" and
// texts outside the catalogue.
std::optional<double> rangeValue(std::string_view rangeText);

// The lowest band among the filter texts; texts outside the filter list
// leave it as it was.
int lowerBand(int band, std::string_view filterText);
int minBand(std::span<const std::string_view> filterTexts);

// Frequency and Period gate time for a band.
std::string_view apertureLine(int band);

// About how long the meter takes for one reading of `function` with `band`
// in force (seconds): the AC filter's settling, for Frequency and Period
// with the gate, or one power-line cycle of integration. 0 outside the
// catalogue.
double measuringSeconds(std::string_view function, int band);

struct CommandStep {
    std::string line;
    int pauseAfterMs = 0;
    bool yieldAfter = false;
    bool operator==(const CommandStep&) const = default;
};

// The lines that configure card channel n (1..10) for `function`, in order,
// with the pause after each. `rangeValue` is the function's range value after
// the run's translation (see runTranslation; no line depends on it before the
// range line). Empty for "NONE" and texts outside the catalogue. The slot
// pause and yield after the channel (kChannelSlotPauseMs) are the caller's,
// since skipped channels take them too.
std::vector<CommandStep> scanCardLines(std::string_view function, int n, double rangeValue,
                                       int minBand);

// The lines that configure the meter's own input for CH1; `minBand` is the
// band of CH1's filter (kNoBand when its row is hidden).
std::vector<CommandStep> mainUnitLines(std::string_view function, double rangeValue, int minBand);

}  // namespace tq::catalogue
