// How far the program stretches a run beyond the meter's own pacing, as a
// user would feel it: the same run of ten DC channels on the in-process
// simulated meter, once on the virtual clock (exactly the fixed pauses, the
// scan time and the interval) and once on the real clock with the window
// live. Reports both periods, their ratio and how late each fixed pause and
// interval wait of the real run ended (median, 99th percentile, worst, and
// their sum per point).
//
//   QT_QPA_PLATFORM=offscreen build/bench/run/bench_run_pacing
//
// TQ_PACING_POINTS sets the run's length (30 points, about 42 s of real
// time, by default). Run it on an otherwise idle machine for the figure the
// program can reach, and under load for what a busy PC gives.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>
#include <numeric>
#include <vector>

#include "app/form1.h"
#include "app/meter_link.h"
#include "app/qt_message_boxes.h"
#include "common/real_clock.h"
#include "common/virtual_clock.h"

namespace {

std::int64_t steadyUs() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// The window's clock with a stopwatch on every pause and interval wait:
// how much longer than asked each one took, on the system's steady clock.
class TimedClock final : public tq::Clock {
  public:
    explicit TimedClock(tq::Clock& inner) : inner_(inner) {}

    std::int64_t tickMs() const override { return inner_.tickMs(); }
    std::int64_t tickUs() const override { return inner_.tickUs(); }
    void pause(std::int64_t ms) override {
        const std::int64_t start = steadyUs();
        inner_.pause(ms);
        lateUs.push_back(steadyUs() - start - ms * 1000);
    }
    void yield() override { inner_.yield(); }
    void idle() override { inner_.idle(); }
    void wait(std::int64_t ms, const std::function<bool()>& stop) override {
        const std::int64_t start = steadyUs();
        inner_.wait(ms, stop);
        lateUs.push_back(steadyUs() - start - ms * 1000);
    }
    int startTimer(std::int64_t ms, std::function<void()> fire) override {
        return inner_.startTimer(ms, std::move(fire));
    }
    void stopTimer(int id) override { inner_.stopTimer(id); }

    std::vector<std::int64_t> lateUs;

  private:
    tq::Clock& inner_;
};

int pointsOfRun() {
    const int n = qEnvironmentVariableIntValue("TQ_PACING_POINTS");
    return n > 0 ? n : 30;
}

// The program as a user starts it with --simulate, started up, with the
// record length set; returns the run's length in microseconds of the clock
// given (the virtual clock's own time, or the real one's).
std::int64_t runOnce(tq::Clock& clock, int points, std::vector<std::int64_t>* lateUs) {
    tq::Options options;
    options.simulate = true;
    TimedClock timed(clock);
    tq::visa::Link link = tq::openMeterLink(options, timed);
    tq::UnattendedMessageBoxes boxes;
    tq::Form1 form(
        {.clock = timed, .boxes = boxes, .visa = *link.visa, .options = options, .endProgram = {}});
    form.show();
    form.runStartUp();
    form.panel().TxtRecordLen->setText(QString::number(points));
    timed.lateUs.clear();
    const std::int64_t start = clock.tickUs();
    form.panel().Command1->click();
    const std::int64_t length = clock.tickUs() - start;
    if (lateUs != nullptr) {
        *lateUs = timed.lateUs;
    }
    form.session().release();
    return length;
}

double percentile(std::vector<std::int64_t> values, double p) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const auto k = static_cast<std::size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
    return static_cast<double>(values[k]);
}

void BM_RunPacing(benchmark::State& state) {
    const int points = pointsOfRun();
    for (auto _ : state) {
        tq::VirtualClock virtualClock;
        virtualClock.setYieldHook([] { QCoreApplication::processEvents(); });
        const double virtualMs = runOnce(virtualClock, points, nullptr) / 1000.0 / points;

        tq::RealClock realClock;
        std::vector<std::int64_t> lateUs;
        const auto started = std::chrono::steady_clock::now();
        const double realMs = runOnce(realClock, points, &lateUs) / 1000.0 / points;
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());

        state.counters["points"] = points;
        state.counters["virtual_ms_per_point"] = virtualMs;
        state.counters["real_ms_per_point"] = realMs;
        state.counters["ratio"] = realMs / virtualMs;
        state.counters["waits"] = static_cast<double>(lateUs.size());
        state.counters["late_us_median"] = percentile(lateUs, 0.5);
        state.counters["late_us_p99"] = percentile(lateUs, 0.99);
        state.counters["late_us_worst"] = percentile(lateUs, 1.0);
        // What the waits added to a point; the rest of the difference is the
        // program's own work between them.
        state.counters["late_ms_per_point"] =
            std::accumulate(lateUs.begin(), lateUs.end(), 0.0) / 1000 / points;
    }
}
BENCHMARK(BM_RunPacing)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
