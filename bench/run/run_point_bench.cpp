// The software cost of one point of a 10-channel scan-card run with 1000
// points per screen, on the virtual clock: what the program adds to the
// meter's own time. Parsing and storing, the redraw from the store, painting
// the redrawn segments, and the window advance are measured apart; the whole
// point with the simulated meter answering is measured last.
#include <benchmark/benchmark.h>

#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <memory>
#include <string>

#include "display/scale_controls.h"
#include "display/trend_plot.h"
#include "engine/point_loop.h"
#include "engine/run_observers.h"
#include "engine/scan_card_run.h"
#include "panel/line_painter_reference.h"
#include "run/run_driver.h"
#include "run/window_rig.h"
#include "store/record_store.h"

namespace {

// The window's parts the bench reaches.
struct RunRig {
    tq::test::WindowRig window;
    tq::Panel& p = window.p;
    tq::InstrumentSession& session = window.form->session();
    tq::ScaleState& scale = window.form->scale();
    tq::ScaleControls& scaleControls = window.form->scaleControls();
    tq::RecordStore& store = window.form->store();
    tq::TrendPlot& plot = window.form->trendPlot();
    tq::RunDriver& driver = window.form->runDriver();
};

constexpr int kPointsPerScreen = 1000;
constexpr int kRecordLength = 10000;
// A point of a long run: the screen is full and the window scrolls.
constexpr int kPointIndex = 5000;

std::unique_ptr<RunRig> makeRig() {
    auto rig = std::make_unique<RunRig>();
    rig->window.link.meter->setTranscriptKept(false);
    rig->window.useRows(10);
    for (std::size_t i = 0; i < 10; ++i) {
        rig->p.CboFunc[i]->setEditText("DCV");
        rig->p.CboRange[i]->setEditText("10V");
    }
    rig->p.CboPoint->setEditText(QString::number(kPointsPerScreen));
    rig->scaleControls.CboPoint_Click();
    // The math channel off, as the bench has always measured the point.
    rig->p.ChkMath->setChecked(false);
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

// The run's parts as the window gives them to the engine, without
// observers.
struct Engine {
    explicit Engine(RunRig& r)
        : link(r.session),
          inputs(r.p, r.plot, stop),
          display(r.p, r.scaleControls, r.plot),
          ctx{r.window.clock,   link,   r.scale, r.store,  r.driver.state,
              r.driver.watches, inputs, display, observers} {}

    bool stop = false;
    tq::RunObservers observers;
    tq::SessionLink link;
    tq::PanelRunInputs inputs;
    tq::PanelRunDisplay display;
    tq::RunContext ctx;
};

void BM_ParseAndStore(benchmark::State& state) {
    RunRig& r = rig();
    Engine engine(r);
    tq::ScanCardRun run(engine.ctx);
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
    Engine engine(r);
    for (auto _ : state) {
        tq::run::advanceWindow(engine.ctx, kPointIndex, tq::RunMode::ScanCard);
        benchmark::DoNotOptimize(r.store.value(10001, 1));
    }
}
BENCHMARK(BM_AdvanceWindow);

// Programming, polling, fetching, storing, redrawing and advancing, with the
// simulated meter parsing every line: the whole point but the paint.
void BM_WholePointWithSimulatedMeter(benchmark::State& state) {
    RunRig& r = rig();
    Engine engine(r);
    tq::ScanCardRun run(engine.ctx);
    r.session.ScanCardPresent = 1;
    r.session.writeLine("Route:scan:count 10");
    for (auto _ : state) {
        r.driver.state.PointIndex = kPointIndex;
        run.programPoint();
        run.acquirePoint();
        r.plot.RunRedraw(kPointIndex, tq::RunMode::ScanCard);
        tq::run::advanceWindow(engine.ctx, kPointIndex, tq::RunMode::ScanCard);
    }
}
BENCHMARK(BM_WholePointWithSimulatedMeter)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
