// The journal's cost on the run path: one stored point of ten channels and
// math turned into a row and written, with the file synced at most once a
// second of the run's clock. Target: under 50 us a point.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "common/virtual_clock.h"
#include "journal/journal_writer.h"

namespace {

namespace fs = std::filesystem;

tq::RunSetup tenChannels() {
    tq::RunSetup setup;
    setup.serial = "TW00000001";
    for (int c = 1; c <= 10; ++c) {
        setup.channels.push_back(
            {.channel = c, .function = "DCV", .rangeText = "10V", .rangeValue = 10, .filter = ""});
    }
    setup.mathFormula = "(CH1-CH2)*1+0";
    return setup;
}

tq::StoredPoint pointOf(std::int32_t k) {
    tq::StoredPoint p{.point = k, .seconds = 0.01 * k, .values = {}};
    for (std::size_t c = 1; c < p.values.size(); ++c) {
        p.values[c] = (k + c) % 97 == 0 ? 9.9E+37 : 1.234567891 * static_cast<double>(k * c) - 17.3;
    }
    return p;
}

// state.range(0): milliseconds of the run's clock between points. At 0 the
// row alone is measured (the file is synced once); at 10, the shortest
// interval, every hundredth point pays for the sync; at 1000 every point
// does.
void BM_JournalPointStored(benchmark::State& state) {
    const fs::path dir = fs::temp_directory_path() / "tq4700-bench-journal";
    fs::remove_all(dir);
    tq::VirtualClock clock;
    tq::JournalSettings settings;
    settings.root = QString::fromStdString(dir.string());
    settings.program = "bench";
    tq::JournalWriter writer(clock, settings);
    writer.runStarted(tenChannels());
    std::int32_t k = 0;
    for (auto _ : state) {
        writer.pointStored(pointOf(++k));
        clock.advance(state.range(0));
    }
    writer.runEnded(tq::RunEnd::Completed, k);
    state.counters["syncs"] = writer.syncCount();
    fs::remove_all(dir);
}
BENCHMARK(BM_JournalPointStored)->Arg(0)->Arg(10)->Arg(1000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
