#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "app/form1.h"
#include "channels/channel_table.h"
#include "common/number_text.h"
#include "common/virtual_clock.h"
#include "display/scale_controls.h"
#include "display/trend_plot.h"
#include "instrument/link_factory.h"
#include "panel/widget_app.h"
#include "run/run_driver.h"
#include "store/record_store.h"
#include "wire_log.h"

#include "app_fakes.h"
#include "link_rigs.h"

namespace tq::test {

// Faults drawn for one seed: every kind at its own random rate, a slow
// reply always slow enough to be counted, on some seeds late enough to
// miss the 2000 ms read time-out, and on some seeds a meter that vanishes
// part-way.
inline sim::Faults randomFaults(std::uint64_t seed, long expectedLines, bool mayDisconnect) {
    std::mt19937_64 rng(seed);
    std::uniform_real_distribution<double> rate(0.0, 0.08);
    sim::Faults f;
    f.dropReply = rate(rng);
    f.slowReply = rate(rng);
    f.slowReplyMs = std::uniform_int_distribution<std::int64_t>(1000, 3000)(rng);
    f.garbage = rate(rng);
    f.shortFetch = 2 * rate(rng);
    if (mayDisconnect && rng() % 2 == 0) {
        f.disconnectAfterLines = static_cast<int>(
            std::uniform_int_distribution<long>(expectedLines / 10, expectedLines)(rng));
    }
    return f;
}

enum class Mode { ScanCard, MainUnit };

// How the window reaches the meter: the in-process simulated meter on
// virtual time, or tq4700-sim's server on a loopback socket, served from a
// thread of its own, on wall time made ten times faster (read time-outs
// included).
enum class Wire { InProcess, Socket };
inline constexpr double kSocketTimeScale = 10;

struct ChannelRow {
    const char* function;
    const char* range;
};

// Every function, on ranges where some readings overload and some do not.
inline constexpr std::array<ChannelRow, 10> kMixedRows{{{"DCV", "1V"},
                                                        {"DCV", "10V"},
                                                        {"ACV", "1V"},
                                                        {"ACV", "100mV"},
                                                        {"Frequency", "10V"},
                                                        {"Period", "10V"},
                                                        {"2WR", "1M"},
                                                        {"4WR", "100K"},
                                                        {"DCV", "100V"},
                                                        {"DCV", "100mV"}}};

// The whole window over the simulated meter with faults, on virtual time.
// The start-up's own exchange with the meter is left out (its replies
// would meet the faults too): the window is laid out as the start-up lays
// it out and the session opened as Initial opens it.
class FaultRig {
  public:
    FaultRig(sim::Options meter, Mode mode, Wire over = Wire::InProcess) : mode_(mode) {
        widgetApp();
        clock.setYieldHook([] { QCoreApplication::processEvents(); });
        visa::LinkOptions options;
        options.searchSystemVisa = false;
        options.clock = &clock;
        if (over == Wire::Socket) {
            serve(meter, options);
        } else {
            options.simulator = meter;
        }
        link = visa::openLink(options);
        QDir(root.path()).mkdir("export");
        Options window;
        window.saveDir = exportDir();
        form = std::make_unique<Form1>(Form1Services{.clock = windowClock(),
                                                     .boxes = boxes,
                                                     .visa = *link.visa,
                                                     .options = window,
                                                     .endProgram = [] {}});
        Panel& p = form->panel();
        InstrumentSession& s = form->session();
        form->trendPlot().LayoutGrid();
        form->scaleControls().DrawScaleLabels();
        s.openResourceManager();
        s.findMeters();
        s.openMeter();
        s.setIoTimeout();
        if (scaled_) {
            link.visa->setAttribute(s.InstrSession, visa::VI_ATTR_TMO_VALUE,
                                    static_cast<visa::ViAttrState>(scaled_->realMs(kIoTimeoutMs)));
        }
        s.ScanCardPresent = 1;
        p.ChkScanMode->setChecked(mode == Mode::ScanCard);
        form->trendPlot().colourLegend();
        for (std::size_t k = 0; k < kMixedRows.size(); ++k) {
            p.CboFunc[k]->setEditText(kMixedRows[k].function);
            p.CboRange[k]->setEditText(kMixedRows[k].range);
            p.CboFilter[k]->setEditText("20Hz");
        }
        p.ChkPoint->setChecked(true);
    }

    Panel& p() { return form->panel(); }
    RecordStore& store() { return form->store(); }
    Mode mode() const { return mode_; }
    // Channels the latest run stored: whole fields up to its channel count.
    int channels() {
        if (mode_ == Mode::MainUnit) {
            return 1;
        }
        const double count = form->runDriver().state.ChannelCount;
        return count >= 10 ? 10 : count > 0 ? static_cast<int>(count) : 0;
    }

    void setPointsPerScreen(int n) {
        p().CboPoint->setEditText(QString::number(n));
        form->scaleControls().CboPoint_Click();
    }
    void run(int points) {
        p().TxtRecordLen->setText(QString::number(points));
        start();
    }
    // Starts a run with the fields as they stand; the wire of earlier runs
    // is left out of what the checks look at.
    // Over a socket the meter's server stops after the run, so its wire can
    // be read; such a rig takes one run.
    void start() {
        mark_ = meter().transcript().size();
        // The plot writes the point counter at every point drawn.
        p().TxtPoint1->setText("0");
        form->runDriver().Command1_Click();
        drawnPoints = lastPoint();
        stopServing();
    }

    ~FaultRig() {
        stopServing();
        form.reset();  // before the clock it runs on
    }

    // The wire since the latest run started.
    std::vector<Exchange> wire() const {
        const auto& t = meter().transcript();
        return exchanges(std::vector<sim::TranscriptEntry>(
            t.begin() + static_cast<std::ptrdiff_t>(std::min(mark_, t.size())), t.end()));
    }

    // The replies to the reading queries, point by point.
    std::vector<Exchange> readingExchanges() const {
        std::vector<Exchange> out;
        for (const Exchange& e : wire()) {
            if (isReadingQuery(e.line)) {
                out.push_back(e);
            }
        }
        return out;
    }

    // When the run clock started: after the scan-count line and its 50 ms,
    // or at the first line of a main-unit run.
    std::int64_t runStartMs() const {
        const std::vector<Exchange> log = wire();
        if (log.empty()) {
            return 0;
        }
        return mode_ == Mode::ScanCard ? log.front().sentMs + 50 : log.front().sentMs;
    }

    // The point at the right edge, as the plot's point counter shows it
    // (the last point drawn, until a waveform move).
    int lastPoint() { return toInt32(Val(p().TxtPoint1->text().toStdString())).value_or(0); }

    // Store row of point k once the run is over, where review and export
    // look for it: the first point at row 10001, or 10002 + N - P once the
    // last point P passed the screen (N and P as whole numbers).
    int rowOf(int k) {
        const auto whole = [](double v) {
            return static_cast<double>(
                toInt32(std::clamp(v, -2147483648.0, 2147483647.0)).value_or(0));
        };
        const double N = whole(form->trendPlot().pointsPerScreen());
        const double P = lastPoint();
        const double first = P <= N + 1 ? 10001 : 10002 + N - P;
        return static_cast<int>(first) + k - 1;
    }

    FaultTally tally() { return tallyFaults(wire(), channels(), !meter().connected()); }
    bool overSocket() const { return served_ != nullptr; }

    // Points the latest run drew.
    int drawnPoints = 0;
    VirtualClock clock;
    FakeBoxes boxes;
    visa::Link link;
    // Exports go to a folder of their own inside a temporary one, so a file
    // written beside it would show.
    QTemporaryDir root;
    QString exportDir() const { return root.path() + "/export"; }
    std::unique_ptr<Form1> form;

  private:
    Clock& windowClock() { return scaled_ ? static_cast<Clock&>(*scaled_) : clock; }
    const sim::Meter& meter() const { return served_ ? served_->meter() : *link.meter; }

    void serve(const sim::Options& meter, visa::LinkOptions& options) {
        scaled_ = std::make_unique<ScaledClock>(kSocketTimeScale);
        served_ = std::make_unique<ServedMeter>(*scaled_, 0, meter);
        EXPECT_TRUE(served_->start()) << "no loopback port to serve the meter on";
        options.resource = served_->resource();
        options.clock = scaled_.get();
    }
    void stopServing() {
        if (served_) {
            served_->stopServing();
        }
    }

    Mode mode_;
    std::size_t mark_ = 0;
    std::unique_ptr<ScaledClock> scaled_;
    std::unique_ptr<ServedMeter> served_;
};

}  // namespace tq::test
