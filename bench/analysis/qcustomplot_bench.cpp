#include <benchmark/benchmark.h>

#include <qcustomplot.h>
#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <memory>

#include "plot_workload.h"

// QCustomPlot in the shape the analysis view uses: one lane (axis rect) per
// trace stacked over a shared time axis.
namespace {

struct LanePlot {
    QCustomPlot plot;
    std::vector<QCPGraph*> graphs;

    explicit LanePlot(int points) {
        plot.resize(bench::kWidth, bench::kHeight);
        plot.plotLayout()->clear();
        auto* group = new QCPMarginGroup(&plot);
        for (int t = 0; t < bench::kTraces; ++t) {
            auto* rect = new QCPAxisRect(&plot);
            plot.plotLayout()->addElement(t, 0, rect);
            rect->setMarginGroup(QCP::msLeft | QCP::msRight, group);
            auto* graph = plot.addGraph(rect->axis(QCPAxis::atBottom), rect->axis(QCPAxis::atLeft));
            QVector<double> keys;
            QVector<double> values;
            bench::fillTrace(t, points, keys, values);
            graph->setData(keys, values, true);
            graph->rescaleAxes();
            graphs.push_back(graph);
        }
    }

    void setXRange(double lower, double upper) {
        for (auto* graph : graphs) {
            graph->keyAxis()->setRange(lower, upper);
        }
    }
};

void BM_QCustomPlot_ZoomRedraw(benchmark::State& state) {
    LanePlot lanes(bench::kPoints);
    QImage image(bench::kWidth, bench::kHeight, QImage::Format_ARGB32_Premultiplied);
    long step = 0;
    for (auto _ : state) {
        const auto [lower, upper] = bench::zoomRange(step++);
        lanes.setXRange(lower, upper);
        lanes.plot.replot(QCustomPlot::rpImmediateRefresh);
        QPainter painter(&image);
        lanes.plot.render(&painter);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_QCustomPlot_ZoomRedraw)->Unit(benchmark::kMillisecond);

// The whole run in view ("fit all"): every point of every trace on screen.
void BM_QCustomPlot_FitAllRedraw(benchmark::State& state) {
    LanePlot lanes(bench::kPoints);
    QImage image(bench::kWidth, bench::kHeight, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        lanes.setXRange(0, bench::kPoints * 0.1);
        lanes.plot.replot(QCustomPlot::rpImmediateRefresh);
        QPainter painter(&image);
        lanes.plot.render(&painter);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_QCustomPlot_FitAllRedraw)->Unit(benchmark::kMillisecond);

// One stored point of a run: a value appended to each trace, the time axis
// following, and the view drawn again.
void BM_QCustomPlot_AppendPoint(benchmark::State& state) {
    LanePlot lanes(bench::kPoints - 1);
    QImage image(bench::kWidth, bench::kHeight, QImage::Format_ARGB32_Premultiplied);
    double key = bench::kPoints * 0.1;
    for (auto _ : state) {
        key += 0.1;
        for (auto* graph : lanes.graphs) {
            graph->addData(key, std::sin(key));
        }
        lanes.setXRange(0, key);
        lanes.plot.replot(QCustomPlot::rpImmediateRefresh);
        QPainter painter(&image);
        lanes.plot.render(&painter);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_QCustomPlot_AppendPoint)->Unit(benchmark::kMillisecond);

// The append alone, for a view that repaints on a timer rather than per point.
void BM_QCustomPlot_AppendOnly(benchmark::State& state) {
    LanePlot lanes(bench::kPoints - 1);
    double key = bench::kPoints * 0.1;
    for (auto _ : state) {
        key += 0.1;
        for (auto* graph : lanes.graphs) {
            graph->addData(key, std::sin(key));
        }
    }
}
BENCHMARK(BM_QCustomPlot_AppendOnly)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
