#pragma once

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <bit>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "catalogue/catalogue.h"
#include "display/pointer_controls.h"
#include "export/save_panel.h"
#include "fault_rig.h"
#include "run/run_driver.h"

// What every faulty run must leave behind, checked against the wire.
namespace tq::test {

// What a faulty run brought, for the figures.
struct RunFigures {
    int points = 0;  // points drawn
    long readingsStored = 0;
    long readingsAbsent = 0;
    FaultTally faults;

    RunFigures& operator+=(const RunFigures& o) {
        points += o.points;
        readingsStored += o.readingsStored;
        readingsAbsent += o.readingsAbsent;
        faults += o.faults;
        return *this;
    }
    std::string describe() const {
        return std::to_string(points) + " points, " + std::to_string(readingsStored) +
               " readings stored, " + std::to_string(readingsAbsent) + " absent; " +
               std::to_string(faults.queries) +
               " queries, faults: " + std::to_string(faults.dropped) + " dropped, " +
               std::to_string(faults.slow) + " slow, " + std::to_string(faults.garbage) +
               " garbage, " + std::to_string(faults.shortFetch) + " short, " +
               std::to_string(faults.overloads) + " overloads" +
               (faults.disconnected ? ", disconnected" : "");
    }
};

// Every drawn point holds, for every scanned channel, the reading the meter
// sent for it or no reading at all (never a 0 the meter did not send), and
// the time its reading was asked for. With `mayDrop` a reading sent may also
// be missing (a plot offset that puts it beyond the plot keeps it out of the
// store). Over a socket the wire is the server's: a reply it sent may have
// been left behind with a connection the host gave up, and its times are not
// the host's, so only the readings are checked.
inline void checkPointsAgainstWire(FaultRig& rig, RunFigures& fig, bool mayDrop = false) {
    mayDrop = mayDrop || rig.overSocket();
    const std::vector<Exchange> replies = rig.readingExchanges();
    const std::int64_t start = rig.runStartMs();
    const Mode mode = rig.mode();
    // A scan-card time keeps two decimals, a main-unit time three.
    const double timeTolerance = (mode == Mode::ScanCard ? 0.005 : 0.0005) + 1e-9;
    // Points taken after the meter vanished asked nobody: the wire ends
    // with the line it vanished on.
    if (!fig.faults.disconnected) {
        EXPECT_GE(replies.size(), static_cast<std::size_t>(fig.points));
    }
    double lastTime = -1;
    for (int k = 1; k <= fig.points; ++k) {
        const bool asked = k <= static_cast<int>(replies.size());
        const Exchange e = asked ? replies[static_cast<std::size_t>(k - 1)] : Exchange{};
        const auto sent = sentReadings(e.reply, rig.channels());
        const int row = rig.rowOf(k);
        const double t = rig.store().time(row).value_or(-1);
        if (asked && !rig.overSocket()) {
            EXPECT_NEAR(t, static_cast<double>(e.sentMs - start) / 1000, timeTolerance)
                << "point " << k;
        }
        EXPECT_GT(t, lastTime) << "point " << k;
        lastTime = t;
        for (int c = 1; c <= rig.channels(); ++c) {
            const auto& want = sent[static_cast<std::size_t>(c - 1)];
            const std::optional<double> got = rig.store().value(row, c);
            if (want && mayDrop && !got) {
                ++fig.readingsAbsent;
            } else if (want) {
                ++fig.readingsStored;
                EXPECT_EQ(got, *want) << "point " << k << " CH" << c << " reply " << *e.reply;
                const std::string function =
                    rig.p().CboFunc[static_cast<std::size_t>(c - 1)]->currentText().toStdString();
                if (*want == 9.9e37 && mode == Mode::ScanCard &&
                    catalogue::findFunction(function) != nullptr) {
                    EXPECT_EQ(rig.store().plotY(row, c), 0) << "point " << k << " CH" << c;
                }
            } else {
                ++fig.readingsAbsent;
                EXPECT_EQ(got, std::nullopt)
                    << "point " << k << " CH" << c << " reply " << e.reply.value_or("(none)");
            }
        }
        if (::testing::Test::HasFailure()) {
            break;  // one wrong point says enough
        }
    }
}

// The points against the wire, and the run's end: all points taken and no
// message, or, when the meter vanished, fewer points and the one message.
inline RunFigures checkRunAgainstWire(FaultRig& rig, int requested) {
    RunFigures fig;
    fig.faults = rig.tally();
    fig.points = rig.drawnPoints;
    EXPECT_FALSE(rig.form->runDriver().isRunning());
    EXPECT_TRUE(rig.p().Command1->isEnabled());
    EXPECT_TRUE(rig.p().ComSaveFrame->isEnabled());
    if (fig.faults.disconnected) {
        EXPECT_EQ(rig.boxes.shown.size(), 1u);
        if (!rig.boxes.shown.empty()) {
            EXPECT_EQ(rig.boxes.shown.back().text.toStdString(), kMeterSilentMessage);
        }
        EXPECT_LT(fig.points, requested);
    } else {
        EXPECT_TRUE(rig.boxes.shown.empty());
        EXPECT_EQ(fig.points, requested);
    }
    checkPointsAgainstWire(rig, fig);
    // Every slow or lost scan-state read is on the diagnostic counter.
    if (rig.mode() == Mode::ScanCard && !rig.overSocket()) {
        const std::vector<Exchange> log = rig.wire();
        long slowStateReads = 0;
        for (std::size_t i = 0; i < log.size(); ++i) {
            const Exchange& e = log[i];
            const bool vanished = fig.faults.disconnected && i + 1 == log.size();
            if (e.line == "Rout:scan:state?" && !vanished &&
                (!e.reply || e.readMs - e.sentMs - 50 > 900)) {
                ++slowStateReads;
            }
        }
        EXPECT_EQ(Val(rig.p().Text7->text().toStdString()), static_cast<double>(slowStateReads));
    }
    return fig;
}

// A run of `points` against a meter with the faults drawn for `seed` (a
// disconnect placed inside the run when asked), checked against the wire.
inline RunFigures soak(Mode mode, std::uint64_t seed, int points, bool mayDisconnect,
                       int pointsPerScreen = 100, Wire over = Wire::InProcess) {
    // Lines a point costs on the wire, roughly.
    const long lines = static_cast<long>(points) * (mode == Mode::ScanCard ? 25 : 4);
    sim::Options meter;
    meter.seed = seed;
    meter.faults = randomFaults(seed, lines, mayDisconnect);
    FaultRig rig(meter, mode, over);
    rig.setPointsPerScreen(pointsPerScreen);
    rig.run(points);
    return checkRunAgainstWire(rig, points);
}

// The review cursor reads out what the store holds for the point under it,
// and waveform moves keep every point where the export looks for it.
inline void reviewAfterRun(FaultRig& rig) {
    Panel& p = rig.p();
    PointerControls& pointer = rig.form->pointer();
    ASSERT_TRUE(p.CmdMove1[0]->isVisibleTo(rig.form.get()));
    for (int i = 0; i < 3; ++i) {
        pointer.CmdMove2_Click(1);
    }
    const int slot = pointer.CursorSlot;
    const std::optional<double> shown = rig.store().value(10000 + slot, 1);
    EXPECT_EQ(p.TxtDshow[0]->text().toStdString(), shown ? defaultText(*shown) : "");
    const int before = rig.lastPoint();
    for (int i = 0; i < 5; ++i) {
        pointer.CmdMove1_Click(0);
    }
    for (int i = 0; i < 2; ++i) {
        pointer.CmdMove1_Click(1);
    }
    // Back moves only while the screen has passed points to show.
    EXPECT_LE(rig.lastPoint(), before);
}

// Debian's interpreter, the one python3-xlrd is installed for.
inline bool xlrdAvailable() {
    return std::system("/usr/bin/python3 -c 'import xlrd' >/dev/null 2>&1") == 0;
}

// The save panel writes the record; python3-xlrd reads back the header and
// every point the run took, bit for bit as the store holds them, with empty
// cells where it holds no reading.
inline void exportAndReadBack(FaultRig& rig, const std::string& checker) {
    Panel& p = rig.p();
    p.TxtFileName->setText("soak");
    rig.form->savePanel().ComSaveFrame_Click();
    rig.form->savePanel().CmdSave_Click();
    const std::string path = rig.form->savePanel().lastSavedPath().toStdString();
    ASSERT_FALSE(path.empty());
    ASSERT_EQ(std::filesystem::path(path).parent_path(),
              std::filesystem::path(rig.exportDir().toStdString()));
    if (!xlrdAvailable()) {
        GTEST_SKIP() << "python3-xlrd is not installed for /usr/bin/python3";
    }
    const std::string expected = path + ".expected";
    std::ofstream out(expected);
    const std::array<std::string, 12> header{"Time(Sec)", " 1", " 2", " 3", " 4",  " 5",
                                             " 6",        " 7", " 8", " 9", " 10", "Math"};
    out << "header 12\n";
    for (std::size_t c = 0; c < header.size(); ++c) {
        const QString function = c >= 1 && c <= 10 ? p.CboFunc[c - 1]->currentText() : "";
        out << (QString::fromStdString(header[c]) + function).toUtf8().toHex().toStdString()
            << "\n";
    }
    const int n = rig.store().pointsTaken();
    EXPECT_GE(n, rig.lastPoint());
    EXPECT_EQ(rig.store().firstPointRow(), rig.rowOf(1));
    out << "rows " << n << "\n";
    const auto bits = [](std::optional<double> v) {
        char hex[17] = "-";
        if (v) {
            std::snprintf(hex, sizeof hex, "%016" PRIx64, std::bit_cast<std::uint64_t>(*v));
        }
        return std::string(hex);
    };
    for (int k = 1; k <= n; ++k) {
        const int row = rig.rowOf(k);
        EXPECT_TRUE(rig.store().time(row)) << "point " << k;
        out << bits(rig.store().time(row));
        for (int c = 1; c <= 11; ++c) {
            const bool filled = c <= rig.channels() || (c == 11 && rig.mode() == Mode::ScanCard);
            out << ' ' << bits(filled ? rig.store().value(row, c) : std::nullopt);
        }
        out << "\n";
    }
    out.close();
    const std::string command =
        "/usr/bin/python3 '" + checker + "' '" + path + "' '" + expected + "' >/dev/null 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
}

}  // namespace tq::test
