// The software cost of one point of a 10-channel scan-card run with 1000
// points per screen, on the virtual clock: what the program adds to the
// meter's own time. Parsing and storing, the redraw from the store, painting
// the redrawn segments, and the window advance are measured apart; the whole
// point with the simulated meter answering is measured last.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <memory>
#include <string>

#include "engine/run_observers.h"
#include "panel/line_painter_reference.h"
#include "run/run_rig.h"
#include "run/scan_card_run.h"

namespace {

using tq::test::RunRig;

constexpr int kPointsPerScreen = 1000;
constexpr int kRecordLength = 10000;
// A point of a long run: the screen is full and the window scrolls.
constexpr int kPointIndex = 5000;

std::unique_ptr<RunRig> makeRig() {
    auto rig = std::make_unique<RunRig>();
    rig->meter().setTranscriptKept(false);
    rig->setChannels({{"DCV", "10V"}}, 10);
    rig->setPointsPerScreen(kPointsPerScreen);
    rig->p.TxtRecordLen->setText(QString::number(kRecordLength));
    rig->p.ChkTest[0]->setChecked(true);
    rig->p.ChkTest[1]->setChecked(true);
    rig->driver.state.ChannelCount = 10;
    rig->driver.state.PointIndex = kPointIndex;
    rig->scaleControls.TransRange("DCV", "10V");
    // A full screen of plausible traces.
    for (int row = 1; row <= tq::RecordStore::kLastRow; ++row) {
        for (int c = 1; c <= 11; ++c) {
            rig->store.setPlotY(row, c, 2700 + (row * 7 + c * 300) % 2000);
            rig->store.setValue(row, c, row * 0.001 + c);
        }
        rig->store.setTime(row, row * 0.75);
    }
    return rig;
}

RunRig& rig() {
    static const std::unique_ptr<RunRig> shared = makeRig();
    return *shared;
}

const tq::RunObservers& observers() {
    static const tq::RunObservers none;
    return none;
}

tq::RunContext context(RunRig& r, const tq::RunHooks& hooks, const bool& stop) {
    return {.panel = r.p,
            .clock = r.clock,
            .session = r.session,
            .scale = r.scale,
            .scaleControls = r.scaleControls,
            .store = r.store,
            .plot = r.plot,
            .state = r.driver.state,
            .watches = r.driver.watches,
            .hooks = hooks,
            .observers = observers(),
            .stopRequested = stop};
}

void BM_ParseAndStore(benchmark::State& state) {
    RunRig& r = rig();
    const tq::RunHooks hooks;
    const bool stop = false;
    tq::RunContext ctx = context(r, hooks, stop);
    tq::ScanCardRun run(ctx);
    std::string line;
    for (int k = 1; k <= 10; ++k) {
        line += "+" + std::to_string(k % 9 + 1) + ".23456789E+00,";
    }
    r.driver.state.FetchLine = line;
    for (auto _ : state) {
        run.parseAndStore();
        benchmark::DoNotOptimize(r.store.value(11001, 10));
    }
}
BENCHMARK(BM_ParseAndStore)->Unit(benchmark::kMicrosecond);

void BM_RunRedraw(benchmark::State& state) {
    RunRig& r = rig();
    for (auto _ : state) {
        r.plot.RunRedraw(kPointIndex, tq::RunMode::ScanCard);
        benchmark::DoNotOptimize(r.p.PicScope->segments().size());
    }
    state.counters["segments"] = static_cast<double>(r.p.PicScope->segments().size());
}
BENCHMARK(BM_RunRedraw)->Unit(benchmark::kMicrosecond);

// What the window's paint event does with the redrawn plot.
void BM_PaintSegments(benchmark::State& state) {
    RunRig& r = rig();
    r.plot.RunRedraw(kPointIndex, tq::RunMode::ScanCard);
    QImage image(r.p.PicScope->size(), QImage::Format_RGB32);
    for (auto _ : state) {
        image.fill(Qt::black);
        QPainter painter(&image);
        r.p.PicScope->paintSegments(painter);
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["width"] = image.width();
    state.counters["height"] = image.height();
}
BENCHMARK(BM_PaintSegments)->Unit(benchmark::kMicrosecond);

// The same picture through QPainter, one drawLines call per trace colour:
// how the plot painted before it drew its own lines.
void BM_PaintSegmentsThroughQPainter(benchmark::State& state) {
    RunRig& r = rig();
    r.plot.RunRedraw(kPointIndex, tq::RunMode::ScanCard);
    for (auto _ : state) {
        const QImage image = tq::test::paintedByQPainter(*r.p.PicScope);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_PaintSegmentsThroughQPainter)->Unit(benchmark::kMicrosecond);

void BM_AdvanceWindow(benchmark::State& state) {
    RunRig& r = rig();
    for (auto _ : state) {
        r.plot.AdvanceWindow(kPointIndex, tq::RunMode::ScanCard);
        benchmark::DoNotOptimize(r.store.value(10001, 1));
    }
}
BENCHMARK(BM_AdvanceWindow);

// Programming, polling, fetching, storing, redrawing and advancing, with the
// simulated meter parsing every line: the whole point but the paint.
void BM_WholePointWithSimulatedMeter(benchmark::State& state) {
    RunRig& r = rig();
    const tq::RunHooks hooks;
    const bool stop = false;
    tq::RunContext ctx = context(r, hooks, stop);
    tq::ScanCardRun run(ctx);
    r.session.ScanCardPresent = 1;
    r.session.writeLine("Route:scan:count 10");
    for (auto _ : state) {
        r.driver.state.PointIndex = kPointIndex;
        run.programPoint();
        run.acquirePoint();
        r.plot.RunRedraw(kPointIndex, tq::RunMode::ScanCard);
        r.plot.AdvanceWindow(kPointIndex, tq::RunMode::ScanCard);
    }
}
BENCHMARK(BM_WholePointWithSimulatedMeter)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
