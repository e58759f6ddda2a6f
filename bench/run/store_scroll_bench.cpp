// The store scroll runs once per point beyond the first screen; this compares
// the constant-time scroll with the literal copy of 20000 rows x 23 series
// that the tests check it against.
#include <benchmark/benchmark.h>

#include <memory>

#include "store/record_store.h"
#include "support/literal_record.h"

namespace {

template <typename Store>
std::unique_ptr<Store> filledStore() {
    auto store = std::make_unique<Store>();
    for (int r = 0; r <= tq::RecordStore::kLastRow; ++r) {
        for (int c = 1; c <= 11; ++c) {
            store->setValue(r, c, r + c * 0.5);
            store->setPlotY(r, c, r + c);
        }
        store->setTime(r, r * 0.01);
    }
    return store;
}

void BM_ScrollConstantTime(benchmark::State& state) {
    const auto store = filledStore<tq::RecordStore>();
    const auto series = state.range(0) ? tq::SeriesSet::all() : tq::SeriesSet::mainUnit();
    for (auto _ : state) {
        store->scroll(series);
        benchmark::DoNotOptimize(store->value(tq::RecordStore::kSlotRowBase, 1));
    }
}
BENCHMARK(BM_ScrollConstantTime)->Arg(1)->Arg(0)->ArgName("all");

void BM_ScrollByCopy(benchmark::State& state) {
    const auto store = filledStore<tq::test::LiteralRecord>();
    const auto series = state.range(0) ? tq::SeriesSet::all() : tq::SeriesSet::mainUnit();
    for (auto _ : state) {
        store->scrollByCopy(series);
        benchmark::DoNotOptimize(store->value(tq::RecordStore::kSlotRowBase, 1));
    }
}
BENCHMARK(BM_ScrollByCopy)->Arg(1)->Arg(0)->ArgName("all")->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
