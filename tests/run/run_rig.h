#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>
#include <algorithm>
#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/virtual_clock.h"
#include "display/math_controls.h"
#include "display/scale_controls.h"
#include "display/trend_plot.h"
#include "instrument/forwarding_visa.h"
#include "instrument/link_factory.h"
#include "instrument/session.h"
#include "panel/message_boxes.h"
#include "panel/panel.h"
#include "panel/widget_app.h"
#include "rules/scale.h"
#include "run/run_driver.h"
#include "store/record_store.h"
#include "support/fake_boxes.h"

namespace tq::test {

// How the read after the n-th query of a kind goes instead of the meter's
// reply, which is still taken and thrown away (a reply lost on the way).
struct ReadScript {
    std::optional<std::string> reply;  // none: the read times out
    std::int64_t delayMs = 0;          // the read takes this long first
};
inline ReadScript replyWith(std::string text) {
    return {std::move(text), 0};
}
inline ReadScript timeOut() {
    return {std::nullopt, 0};
}
inline ReadScript slowBy(std::int64_t ms) {
    return {std::string(), ms};
}

// The simulated meter's link with a hand on its replies.
class ScriptedVisa : public visa::ForwardingVisa {
  public:
    ScriptedVisa(visa::VisaApi& inner, Clock& clock) : ForwardingVisa(inner), clock_(clock) {}
    void script(const std::string& query, int n, ReadScript s) { scripts_[{query, n}] = s; }

    visa::ViStatus write(visa::ViSession vi, std::string_view bytes,
                         visa::ViUInt32& count) override {
        query_ = std::string(bytes.substr(0, bytes.find('\n')));
        n_ = ++counts_[query_];
        return inner().write(vi, bytes, count);
    }
    visa::ViStatus read(visa::ViSession vi, std::span<char> buffer,
                        visa::ViUInt32& count) override {
        const auto it = scripts_.find({query_, n_});
        if (it == scripts_.end()) {
            return inner().read(vi, buffer, count);
        }
        const ReadScript s = it->second;
        scripts_.erase(it);
        clock_.pause(s.delayMs);
        std::array<char, 1024> lost{};
        const visa::ViStatus status = inner().read(vi, lost, count);
        if (s.delayMs > 0) {
            count = std::min<visa::ViUInt32>(count, static_cast<visa::ViUInt32>(buffer.size()));
            std::copy_n(lost.begin(), count, buffer.begin());
            return status;
        }
        if (!s.reply) {
            clock_.pause(kIoTimeoutMs);
            count = 0;
            return visa::VI_ERROR_TMO;
        }
        count = static_cast<visa::ViUInt32>(s.reply->copy(buffer.data(), buffer.size()));
        return visa::VI_SUCCESS;
    }

  private:
    Clock& clock_;
    std::map<std::pair<std::string, int>, ReadScript> scripts_;
    std::map<std::string, int> counts_;
    std::string query_;
    int n_ = 0;
};

struct Row {
    std::string function;
    std::string range;
    std::string filter = "20Hz";
};

// A window, the simulated meter on a virtual clock and the run's parts,
// wired as the window wires them; the math hook records every point.
class RunRig {
    QApplication& app_ = widgetApp();  // before any widget

  public:
    struct Point {
        std::int32_t index;
        int row;
        std::array<double, 12> reading;
        std::string readout;  // CH1's read-out box
    };

    explicit RunRig(sim::Options meter = {}) : link_(simulated(clock, meter)) {
        buildPanel(&form, p);
        session.openResourceManager();
        session.findMeters();
        session.openMeter();
        session.setIoTimeout();
        session.ScanCardPresent = meter.card ? 1 : 0;
        p.ChkScanMode->setChecked(meter.card);
        driver.hooks.mathFormula = [this] { return math.formulaText(); };
        driver.hooks.mathStep = [this](std::array<double, 12>& reading, int row) {
            math.mathStep(reading, row);
            points.push_back({.index = driver.state.PointIndex,
                              .row = row,
                              .reading = reading,
                              .readout = p.TxtDshow[0]->text().toStdString()});
        };
    }

    sim::Meter& meter() { return *link_.meter; }

    // Rows in use from CH1 on, the others hidden, and the channel count.
    void setChannels(std::initializer_list<Row> rows, int repeat = 1) {
        std::size_t k = 0;
        for (int n = 0; n < repeat; ++n) {
            for (const Row& r : rows) {
                p.CboFunc[k]->setEditText(QString::fromStdString(r.function));
                p.CboRange[k]->setEditText(QString::fromStdString(r.range));
                p.CboFilter[k++]->setEditText(QString::fromStdString(r.filter));
            }
        }
        for (std::size_t i = 0; i < p.FrameCH.size(); ++i) {
            p.FrameCH[i]->setVisible(i < k);
        }
        p.TxtChNo->setText(QString::number(k));
    }
    void setPointsPerScreen(int n) {
        p.CboPoint->setEditText(QString::number(n));
        scaleControls.CboPoint_Click();
    }
    void run(int recordLength) {
        p.TxtRecordLen->setText(QString::number(recordLength));
        driver.Command1_Click();
    }

    // Lines the meter received, without their line feeds.
    std::vector<std::string> lines() const {
        std::vector<std::string> out;
        for (const sim::TranscriptEntry& e : link_.meter->transcript()) {
            if (e.fromHost) {
                out.push_back(e.bytes.substr(0, e.bytes.find('\n')));
            }
        }
        return out;
    }
    long count(const std::string& line) const { return std::ranges::count(lines(), line); }

    QWidget form;
    Panel p;
    VirtualClock clock;

  private:
    static visa::Link simulated(VirtualClock& clock, const sim::Options& meter) {
        visa::LinkOptions options;
        options.searchSystemVisa = false;
        options.simulator = meter;
        options.clock = &clock;
        return visa::openLink(options);
    }
    visa::Link link_;

  public:
    ScriptedVisa scripted{*link_.visa, clock};
    InstrumentSession session{scripted};
    ScaleState scale;
    ScaleControls scaleControls{p, clock, scale};
    RecordStore store;
    TrendPlot plot{p, clock, scale, store};
    MathControls math{p, clock, scale, store};
    FakeBoxes boxes;
    RunDriver driver{p, clock, session, scale, scaleControls, store, plot, boxes};
    std::vector<Point> points;
};

}  // namespace tq::test
