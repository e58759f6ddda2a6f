#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "sim/measure_config.h"
#include "sim/scpi_error.h"

namespace tq::sim {

inline constexpr int scanChannelCount = 10;

enum class TriggerSource { Immediate, Bus, External };

// Everything "*RST" puts back.
struct Settings {
    std::array<MeasureConfig, scanChannelCount> channels{};
    MeasureConfig main{};
    // Where SENSe lines go: 0 the main input (after CONFigure or a reset),
    // else the card channel named by the latest "ROUTe:SCAN:FUNCtion". That
    // is how a host programs a channel: its function line, then its range,
    // band, aperture or NPLC lines.
    int target = 0;
    int scanCount = 1;
    double scanTimer = 0;
    double triggerDelay = 0;
    TriggerSource triggerSource = TriggerSource::Immediate;
};

// The readings of the latest measurement ("ROUTe:SCAN:STEP", "READ?",
// "INITiate"), available from readyMs on.
struct Measurement {
    std::vector<double> readings;
    std::int64_t readyMs = 0;
};

// A scan in the meter's time: when it started and when each channel ends,
// in microseconds after the start.
struct ScanRun {
    std::int64_t startMs = 0;
    std::vector<std::int64_t> channelEndMicros;

    // Channels measured by nowMs.
    int done(std::int64_t nowMs) const;
    bool running(std::int64_t nowMs) const;
};

struct MeterState {
    Settings settings;
    std::optional<ScanRun> scan;
    std::optional<Measurement> data;
    ErrorQueue errors;
    bool remote = false;  // front panel locked by the host until "SYSTem:LOCal"

    MeasureConfig& targetConfig();
    // Settings, scan and readings back to power-on; the error queue stays.
    void reset();
};

}  // namespace tq::sim
