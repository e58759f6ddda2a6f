// What one front-panel point costs the in-process meter: the fast demo runs
// thousands of points on a virtual clock, so the meter's own work is the
// time it takes.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "common/virtual_clock.h"
#include "sim/meter.h"

namespace {

// The lines of one ten-channel scan-card point, polls and fetch included.
void scanPoint(tq::sim::Meter& meter, tq::VirtualClock& clock) {
    static const std::vector<std::string> programming = [] {
        std::vector<std::string> lines{"TRIG:DEL 0.001\n", "ROUT:SCAN:TIMER 0.01\n"};
        for (int channel = 1; channel <= 10; ++channel) {
            const std::string n = std::to_string(channel);
            lines.push_back("rout:scan:func " + n + ",\"VOLT:DC\"\n");
            lines.push_back("SENS:VOLT:DC:RANG 10\n");
        }
        lines.push_back("ROUT:SCAN:STEP\n");
        return lines;
    }();
    for (const std::string& line : programming) {
        meter.receive(line);
        clock.pause(40);
    }
    while (true) {
        meter.receive("Rout:scan:state?\n");
        clock.pause(50);
        const auto state = meter.read(200, 2000);
        if (state.bytes == "10\n") {
            break;
        }
        clock.pause(100);
    }
    meter.receive("fetch?\n");
    benchmark::DoNotOptimize(meter.read(320, 2000));
}

void BM_ScanCardPoint(benchmark::State& state) {
    tq::VirtualClock clock;
    tq::sim::Meter meter(clock, {});
    meter.setTranscriptKept(false);
    meter.receive("Route:scan:count 10\n");
    for (auto _ : state) {
        scanPoint(meter, clock);
    }
}
BENCHMARK(BM_ScanCardPoint);

void BM_IdentityQuery(benchmark::State& state) {
    tq::VirtualClock clock;
    tq::sim::Meter meter(clock, {});
    meter.setTranscriptKept(false);
    for (auto _ : state) {
        meter.receive("*IDN?\n");
        benchmark::DoNotOptimize(meter.read(200, 2000));
    }
}
BENCHMARK(BM_IdentityQuery);

}  // namespace

BENCHMARK_MAIN();
