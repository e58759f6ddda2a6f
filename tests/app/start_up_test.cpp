#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTemporaryDir>
#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "app/exit_command.h"
#include "app/meter_initial.h"
#include "app/start_up.h"
#include "app_fakes.h"
#include "channels/channel_setup_state.h"
#include "engine/run_observer.h"
#include "instrument/session.h"
#include "link_rigs.h"
#include "rules/plot_rule.h"
#include "rules/scale.h"
#include "run/run_driver.h"

namespace tq {
namespace {

using test::AppRig;
using test::refusedSocketResource;
using test::UnopenableUsbMeter;
using ::testing::ElementsAre;

// Shape1(i) shows the trace colour of store column i + 1.
bool legendColoured(const Panel& p) {
    for (std::size_t i = 0; i < p.Shape1.size(); ++i) {
        const Rgb c = channelColour(static_cast<int>(i) + 1);
        if (p.Shape1[i]->fillColor() != QColor(c.red, c.green, c.blue)) {
            return false;
        }
    }
    return true;
}

TEST(StartUp, ResetsIdentifiesAndProbesTheMeterOnTheWire) {
    AppRig rig(AppRig::simulated());
    ASSERT_FALSE(legendColoured(rig.p()));
    rig.form->runStartUp();

    EXPECT_THAT(rig.hostLines(), ElementsAre("*RST\n", "*CLS\n", "*IDN?\n", "Rout:state?\n"));
    const auto& t = rig.link.meter->transcript();
    // Nothing goes to the meter before the first 2 s pause is over; the card
    // answer is read 20 ms after its question.
    const auto question =
        std::find_if(t.begin(), t.end(), [](const auto& e) { return e.bytes == "Rout:state?\n"; });
    ASSERT_NE(question, t.end());
    ASSERT_NE(question + 1, t.end());
    EXPECT_EQ(t.front().timeMs, StartUp::kSettleMs);
    EXPECT_EQ((question + 1)->timeMs - question->timeMs, 20);
    EXPECT_EQ((question + 1)->bytes.front(), '1');
    // The meter is opened with no lock and no open time-out, then given 2 s.
    const auto& calls = rig.recorder->calls;
    EXPECT_NE(
        std::find(calls.begin(), calls.end(), "open USB0::0x3A6D::0x0E31::TW00000001::INSTR 0 0"),
        calls.end());
    EXPECT_NE(std::find(calls.begin(), calls.end(), "setAttribute 1073676314 2000"), calls.end());
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "read 200"), 2);
    EXPECT_GE(rig.clock.tickMs(), 2 * StartUp::kSettleMs + 20);

    Panel& p = rig.p();
    EXPECT_EQ(p.LabMsg->text(), kInitialOk);
    EXPECT_EQ(p.LabSN->text(), "TW00000001");
    EXPECT_TRUE(p.FrameMsg->isHidden());
    EXPECT_TRUE(rig.boxes.shown.empty());
    EXPECT_TRUE(legendColoured(p));
    EXPECT_EQ(rig.form->session().FoundCount, 1);
    // The card offers the scan-card mode: checking the switch ran its handler.
    EXPECT_EQ(rig.form->session().ScanCardPresent, 1);
    EXPECT_TRUE(p.ChkScanMode->isChecked());
    EXPECT_TRUE(p.FrameMa->isHidden());
    EXPECT_FALSE(p.FrameMath->isHidden());
    EXPECT_FALSE(p.TxtScanTimer->isHidden());

    // A run started from the window tells its observers who the meter is.
    struct : RunObserver {
        void runStarted(const RunSetup& s) override { setup = s; }
        RunSetup setup;
    } observer;
    rig.form->addRunObserver(&observer);
    p.TxtRecordLen->setText("1");
    rig.form->runDriver().Command1_Click();
    EXPECT_EQ(observer.setup.identity, "VARANDEL,TQ4700,TW00000001,2.01");
    EXPECT_EQ(observer.setup.serial, "TW00000001");
}

TEST(StartUp, WithoutACardTheWindowIsLaidOutForCh1) {
    sim::Options meter;
    meter.card = false;
    AppRig rig(AppRig::simulated(meter));
    rig.form->runStartUp();
    Panel& p = rig.p();
    EXPECT_EQ(rig.form->session().ScanCardPresent, 0);
    EXPECT_EQ(p.LabMsg->text(), kInitialOk);
    EXPECT_TRUE(p.FrameMsg->isHidden());
    EXPECT_FALSE(p.ChkScanMode->isChecked());
    EXPECT_FALSE(p.FrameMa->isHidden());
    EXPECT_TRUE(p.ChkMath->isHidden());
    EXPECT_TRUE(p.FrameMath->isHidden());
    for (int i = 1; i < 10; ++i) {
        EXPECT_TRUE(p.Lab1f[i]->isHidden()) << i;
        EXPECT_TRUE(p.TxtDshow[i]->isHidden()) << i;
        // The channel count "1" hides the rows as a typed count would.
        EXPECT_TRUE(p.FrameCH[i]->isHidden()) << i;
    }
    EXPECT_FALSE(p.FrameCH[0]->isHidden());
    EXPECT_FALSE(p.TxtDshow[0]->isHidden());
    for (const Label* label : p.LabY1) {
        EXPECT_TRUE(label->isHidden());
    }
    EXPECT_TRUE(p.CboScale[1]->isHidden());
    EXPECT_EQ(p.CboScale[0]->count(), 0);
    EXPECT_EQ(p.CboScale[0]->currentText(), "CH1");
    EXPECT_EQ(p.TxtChNo->text(), "1");
    EXPECT_FALSE(p.TxtChNo->isEnabled());
    EXPECT_TRUE(p.Label2[5]->isHidden());
    EXPECT_TRUE(p.TxtScanTimer->isHidden());
}

TEST(StartUp, AMeterThatNamesItselfWronglyIsStillProbedAndTheFrameGoes) {
    sim::Options meter;
    meter.identity = "ACME,DMM9000,1234,1.0";
    AppRig rig(AppRig::simulated(meter));
    ::testing::internal::CaptureStderr();
    rig.form->runStartUp();
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "tq4700: USB0::0x3A6D::0x0E31::TW00000001::INSTR is no TQ4700: it answered *IDN? "
              "with \"ACME,DMM9000,1234,1.0\" (VI_SUCCESS)\n");
    EXPECT_THAT(rig.hostLines(), ElementsAre("*RST\n", "*CLS\n", "*IDN?\n", "Rout:state?\n"));
    EXPECT_EQ(rig.p().LabMsg->text(), kInitialFail);
    EXPECT_EQ(rig.form->session().Identity, "ACME,DMM9000,1234,1.0");
    EXPECT_TRUE(rig.p().ChkScanMode->isChecked());
    EXPECT_TRUE(rig.p().FrameMsg->isHidden());
}

// A lost card answer leaves the identity in the reply buffer: no card.
TEST(StartUp, AnUnansweredCardProbeMeansNoCard) {
    sim::Options meter;
    meter.faults.disconnectAfterLines = 3;
    AppRig rig(AppRig::simulated(meter));
    ::testing::internal::CaptureStderr();
    rig.form->runStartUp();
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "tq4700: USB0::0x3A6D::0x0E31::TW00000001::INSTR: no answer to *IDN?: connection "
              "lost (VI_ERROR_CONN_LOST)\n"
              "tq4700: USB0::0x3A6D::0x0E31::TW00000001::INSTR: no answer to Rout:state?: "
              "connection lost (VI_ERROR_CONN_LOST); taken as a meter without a scanner card\n");
    EXPECT_EQ(rig.form->session().ScanCardPresent, 0);
    EXPECT_FALSE(rig.p().FrameMa->isHidden());
}

TEST(StartUp, AVisaLibraryThatDoesNotLoadGivesOneBoxAndNothingElse) {
    visa::LinkOptions options;
    options.visaLibrary = "/nonexistent/libvisa.so";
    AppRig rig(options);
    const QString designText = rig.p().LabMsg->text();
    ::testing::internal::CaptureStderr();
    rig.form->runStartUp();
    const std::string line = ::testing::internal::GetCapturedStderr();
    EXPECT_TRUE(line.starts_with("tq4700: no VISA library: ")) << line;
    EXPECT_NE(line.find("/nonexistent/libvisa.so"), std::string::npos) << line;
    EXPECT_TRUE(line.ends_with(" (VI_ERROR_SYSTEM_ERROR)\n")) << line;

    ASSERT_EQ(rig.boxes.shown.size(), 1u);
    const test::FakeBoxes::Box& box = rig.boxes.shown.front();
    EXPECT_EQ(box.text, kVisaLibraryError);
    EXPECT_EQ(box.title, kVisaLibraryErrorTitle);
    EXPECT_EQ(box.buttons, MessageBoxes::Buttons::Ok);
    EXPECT_EQ(box.icon, MessageBoxes::Icon::Exclamation);
    EXPECT_THAT(rig.recorder->calls, ElementsAre("openDefaultRM -> 0"));
    EXPECT_EQ(rig.form->session().FoundCount, 0);
    EXPECT_EQ(rig.p().LabMsg->text(), designText);
    EXPECT_FALSE(rig.p().FrameMsg->isHidden());
    EXPECT_TRUE(legendColoured(rig.p()));
}

// No meter found, or one that cannot be opened: the failure stays up,
// nothing is sent, and the window stays usable.
TEST(StartUp, WithoutAMeterThatOpensTheFailureStaysUpAndTheWindowIsUsable) {
    QTemporaryDir sys;
    visa::LinkOptions none;
    none.searchSystemVisa = false;
    none.sysRoot = none.devRoot = sys.path().toStdString();
    visa::LinkOptions socket;
    socket.searchSystemVisa = false;
    socket.resource = refusedSocketResource();
    UnopenableUsbMeter usb;
    // The link, what it prints, whether a meter is opened, and whether the
    // user is told in a box how to get the rights.
    struct Case {
        visa::LinkOptions options;
        std::string line;
        long opens;
        std::size_t boxes;
    };
    std::vector<Case> cases{
        {none,
         "tq4700: no TQ4700 found matching USB[0-9]*::0x3A6D::0x0E31::?*INSTR "
         "(VI_ERROR_RSRC_NFOUND)\n",
         0, 0},
        {socket,
         "tq4700: cannot open " + socket.resource + ": connection refused (VI_ERROR_RSRC_NFOUND)\n",
         1, 0}};
    if (UnopenableUsbMeter::refused()) {
        cases.push_back(
            {usb.options,
             "tq4700: cannot open USB0::0x3A6D::0x0E31::TW00000042::INSTR: permission denied on " +
                 usb.options.devRoot.string() +
                 "/usbtmc0 (VI_ERROR_NPERMISSION); the udev rule 60-tq4700.rules lets logged-in "
                 "users open the meter: sudo cp packaging/60-tq4700.rules /etc/udev/rules.d/ && "
                 "sudo udevadm control --reload && sudo udevadm trigger, then re-plug it\n",
             1, 1});
    }
    for (const auto& [options, line, opens, boxes] : cases) {
        AppRig rig(options);
        ::testing::internal::CaptureStderr();
        rig.form->runStartUp();
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), line);
        Panel& p = rig.p();
        EXPECT_EQ(p.LabMsg->text(), kInitialFail);
        EXPECT_FALSE(p.FrameMsg->isHidden());
        EXPECT_TRUE(legendColoured(p));
        EXPECT_EQ(rig.boxes.shown.size(), boxes);
        EXPECT_EQ(rig.form->session().FoundCount, 0);
        // Nothing is sent, the resource manager is closed, and the window
        // is not laid out for a meter without a card.
        const auto& calls = rig.recorder->calls;
        const auto count = [&calls](const char* start) {
            return std::ranges::count_if(calls,
                                         [&](const auto& c) { return c.starts_with(start); });
        };
        EXPECT_EQ(count("write"), 0);
        EXPECT_EQ(count("open "), opens);
        EXPECT_EQ(calls.back(), "close " + std::to_string(rig.form->session().DefaultRM) + " -> 0");
        EXPECT_TRUE(p.FrameMa->isHidden());
        EXPECT_FALSE(p.TxtScanTimer->isHidden());
        EXPECT_TRUE(p.LabSN->text().isEmpty());
        // The channel count still works.
        p.TxtChNo->setText("3");
        EXPECT_TRUE(p.FrameCH[3]->isHidden());
        EXPECT_FALSE(p.FrameCH[2]->isHidden());
    }
}

TEST(StartUp, SetsTheRunDefaultsAndRunsOnce) {
    AppRig rig(AppRig::simulated());
    ScaleState& scale = rig.form->scale();
    ChannelSetupState& setup = rig.form->channelSetup();
    scale.FreqAutoScaled = scale.PeriodAutoScaled = scale.MathAutoScaled = true;
    scale.FreqRangeChanged = scale.PeriodRangeChanged = true;
    scale.PointsPerDiv = 3;
    scale.PointStep = 7;
    setup.MinScanTime = setup.MinTrigDelay = 1;
    setup.NoAcChannel = false;
    rig.form->runStartUp();

    EXPECT_FALSE(scale.FreqAutoScaled || scale.PeriodAutoScaled || scale.MathAutoScaled);
    EXPECT_FALSE(scale.FreqRangeChanged || scale.PeriodRangeChanged);
    EXPECT_EQ(scale.PointsPerDiv, 10);
    EXPECT_EQ(scale.PointStep, 90);
    EXPECT_EQ(setup.MinScanTime, 0);
    EXPECT_EQ(setup.MinTrigDelay, 0);
    EXPECT_TRUE(setup.NoAcChannel);
    const Panel& p = rig.p();
    EXPECT_EQ(p.LineX0->x1(), 0);
    EXPECT_EQ(p.LineX0->x2(), 0);
    EXPECT_EQ(p.LineY0->y1(), 0);
    EXPECT_EQ(p.LineY0->y2(), 0);

    const std::size_t lines = rig.hostLines().size();
    rig.form->runStartUp();
    EXPECT_EQ(rig.hostLines().size(), lines);
}

// The first showing starts it, from the event loop, once.
TEST(StartUp, RunsOnTheFirstShowing) {
    AppRig rig(AppRig::simulated());
    rig.form->setAttribute(Qt::WA_DontShowOnScreen);
    rig.form->show();
    EXPECT_FALSE(rig.form->startUp().started());
    QCoreApplication::processEvents();
    EXPECT_TRUE(rig.form->startUp().started());
    EXPECT_EQ(rig.p().LabMsg->text(), kInitialOk);
    rig.form->hide();
    rig.form->show();
    QCoreApplication::processEvents();
    EXPECT_EQ(rig.hostLines().size(), 4u);
}

// The sequence itself, with the plot's and the scale's parts as hooks.
TEST(StartUp, CallsThePlotAndTheScaleInOrder) {
    AppRig rig(AppRig::simulated());
    std::vector<std::string> steps;
    ScaleState scale;
    ChannelSetupState setup;
    MeterInitial initial(rig.p(), rig.clock, rig.form->session(), rig.boxes);
    const auto at = [&](const char* what) {
        return std::string(what) + " " + std::to_string(rig.clock.tickMs()) + " " +
               (rig.p().FrameMsg->isHidden() ? "hidden" : "shown");
    };
    StartUp startUp(
        rig.p(), rig.clock, rig.form->session(), initial, scale, setup,
        {.LayoutGrid = [&] { steps.push_back(at("grid")); },
         .DrawScaleLabels = [&] { steps.push_back(at("labels")); },
         .colourLegend = [&] { steps.push_back(at("legend")); },
         .CboScale_Click = [&](int i) { steps.push_back(at(i == 0 ? "scale0" : "scale?")); },
         .programEnding = {}});
    startUp.run();
    const std::string after = std::to_string(rig.link.meter->transcript().back().timeMs + 2000);
    EXPECT_THAT(steps, ElementsAre("grid 0 shown", "labels 0 shown", "legend " + after + " shown",
                                   "scale0 " + after + " shown"));
    EXPECT_TRUE(rig.p().FrameMsg->isHidden());
}

// Exit taken while the start-up yields: the rest is dropped, so the meter
// handed back to its panel is not reset and taken over again.
TEST(StartUp, StopsOnceExitHasEndedTheProgram) {
    AppRig rig(AppRig::simulated());
    rig.clock.setYieldHook([&] {
        if (!rig.form->exitCommand().ended()) {
            rig.form->exitCommand().CmdEnd_Click();
        }
    });
    rig.form->runStartUp();
    EXPECT_EQ(rig.endCount, 1);
    EXPECT_TRUE(rig.hostLines().empty());
    EXPECT_FALSE(rig.p().FrameMsg->isHidden());
}

}  // namespace
}  // namespace tq
