// A full-length export: 10001 rows of 12 numbers, built in memory and written
// to a file (temporary name, flush, rename). Target: under 50 ms.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "export/biff_workbook.h"
#include "export/export_sheet.h"
#include "export/workbook_file.h"

namespace {

namespace fs = std::filesystem;
using tq::xls::WorkbookRow;

constexpr std::size_t kRows = 10001;

std::vector<std::string> header() {
    std::array<std::string, 10> functions;
    functions.fill("DCV");
    return tq::xls::workbookHeader(functions);
}

// Stands in for the record store: values computed per row, no copy.
WorkbookRow storeRow(std::size_t r) {
    WorkbookRow row;
    row[0] = 0.5 * static_cast<double>(r);
    for (std::size_t c = 1; c < row.size(); ++c) {
        row[c] = (r + c) % 97 == 0 ? 9.9E+37 : 1.234567 * static_cast<double>(r * c) - 17.0;
    }
    return row;
}

void BM_WorkbookInMemory(benchmark::State& state) {
    const auto h = header();
    std::size_t size = 0;
    for (auto _ : state) {
        const auto bytes = tq::xls::buildWorkbook(h, kRows, storeRow);
        size = bytes.size();
        benchmark::DoNotOptimize(bytes.data());
    }
    state.counters["file_bytes"] = static_cast<double>(size);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}
BENCHMARK(BM_WorkbookInMemory)->Unit(benchmark::kMillisecond);

void BM_WorkbookToFile(benchmark::State& state) {
    const fs::path dir = fs::temp_directory_path() / "tq4700-bench-workbook";
    fs::remove_all(dir);
    fs::create_directories(dir);
    const auto h = header();
    std::uintmax_t size = 0;
    int second = 0;
    for (auto _ : state) {
        const auto bytes = tq::xls::buildWorkbook(h, kRows, storeRow);
        // A new second each time; after 60 the copy numbers take over.
        const auto result =
            tq::xls::writeWorkbookFile(dir.string(), "Bench", {12, 0, second++ % 60}, bytes);
        if (!result.ok()) {
            state.SkipWithError(result.explanation.c_str());
            break;
        }
        state.PauseTiming();
        size = fs::file_size(result.path);
        fs::remove(result.path);
        state.ResumeTiming();
    }
    fs::remove_all(dir);
    state.counters["file_bytes"] = static_cast<double>(size);
}
BENCHMARK(BM_WorkbookToFile)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
