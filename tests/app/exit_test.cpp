#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QPushButton>

#include "app/exit_command.h"
#include "app_fakes.h"
#include "instrument/fake_visa.h"
#include "instrument/session.h"
#include "instrument/sim_transport.h"

namespace tq {
namespace {

using test::AppRig;
using ::testing::ElementsAre;

// A window after start-up on the simulated meter, and after a run when asked
// (the end of a run enables the save button).
struct ExitRig : AppRig {
    explicit ExitRig(bool afterRun) : AppRig(simulated()) {
        form->runStartUp();
        p().ComSaveFrame->setEnabled(afterRun);
    }

    std::string lastHostLine() const {
        const std::vector<std::string> lines = hostLines();
        return lines.empty() ? std::string() : lines.back();
    }
};

// No question without a run; after an unsaved one, No keeps everything
// and Yes goes on.
TEST(Exit, AsksOnlyAfterAnUnsavedRunAndNoKeepsEverything) {
    ExitRig idle(false);
    idle.p().CmdEnd->click();
    EXPECT_TRUE(idle.boxes.shown.empty());
    EXPECT_EQ(idle.lastHostLine(), "system:local");  // 12 bytes, no line feed
    EXPECT_FALSE(idle.link.meter->remote());
    EXPECT_EQ(idle.endCount, 1);
    EXPECT_TRUE(idle.form->exitCommand().ended());

    ExitRig rig(true);
    rig.boxes.answers = {MessageBoxes::Answer::No};
    const std::size_t lines = rig.hostLines().size();
    rig.p().CmdEnd->click();
    ASSERT_EQ(rig.boxes.shown.size(), 1u);
    EXPECT_EQ(rig.boxes.shown[0].text, kUnsavedDataQuestion);
    EXPECT_EQ(rig.boxes.shown[0].title, defaultMessageTitle());
    EXPECT_EQ(rig.boxes.shown[0].buttons, MessageBoxes::Buttons::YesNo);
    EXPECT_EQ(rig.hostLines().size(), lines);
    EXPECT_TRUE(rig.link.meter->remote());
    EXPECT_EQ(rig.endCount, 0);
    EXPECT_TRUE(rig.p().ComSaveFrame->isEnabled());

    rig.boxes.answers = {MessageBoxes::Answer::Yes};
    rig.p().CmdEnd->click();
    EXPECT_EQ(rig.boxes.shown.size(), 2u);
    EXPECT_EQ(rig.lastHostLine(), "system:local");
    EXPECT_EQ(rig.endCount, 1);
}

// The question is modal; a second Exit meanwhile (the close button) starts
// no second question and no second release.
TEST(Exit, IgnoresASecondExitWhileItAsks) {
    ExitRig rig(true);
    rig.boxes.whileShown = [&] {
        rig.p().CmdEnd->click();
        EXPECT_FALSE(rig.form->close());
    };
    rig.p().CmdEnd->click();
    EXPECT_EQ(rig.boxes.shown.size(), 1u);
    const std::vector<std::string> lines = rig.hostLines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "system:local"), 1);
    EXPECT_EQ(rig.endCount, 1);
}

TEST(Exit, TheCloseButtonActsAsExit) {
    ExitRig rig(true);
    rig.form->setAttribute(Qt::WA_DontShowOnScreen);
    rig.form->show();
    rig.boxes.answers = {MessageBoxes::Answer::No};
    EXPECT_FALSE(rig.form->close());
    EXPECT_TRUE(rig.form->isVisible());
    EXPECT_EQ(rig.boxes.shown.size(), 1u);
    EXPECT_EQ(rig.endCount, 0);

    rig.boxes.answers = {MessageBoxes::Answer::Yes};
    EXPECT_TRUE(rig.form->close());
    EXPECT_EQ(rig.lastHostLine(), "system:local");
    EXPECT_EQ(rig.endCount, 1);
}

// Every meter the search found is opened afresh, set to local and closed.
TEST(Exit, HandsBothOfTwoMetersBack) {
    visa::testing::FakeVisa visa;
    visa.resources = {"USB0::0x3A6D::0x0E31::TW00000001::INSTR",
                      "USB0::0x3A6D::0x0E31::TW00000002::INSTR"};
    test::widgetApp();
    VirtualClock clock;
    test::FakeBoxes boxes;
    int ended = 0;
    Form1 form({.clock = clock, .boxes = boxes, .visa = visa, .options = {}, .endProgram = [&] {
                    ++ended;
                }});
    form.Initial();
    visa.calls.clear();
    form.panel().CmdEnd->click();
    EXPECT_THAT(visa.calls,
                ElementsAre("open 1 USB0::0x3A6D::0x0E31::TW00000001::INSTR 0 0 -> 11",
                            "write 11 [system:local] 12", "close 11", "findNext 2",
                            "open 1 USB0::0x3A6D::0x0E31::TW00000002::INSTR 0 0 -> 12",
                            "write 12 [system:local] 12", "close 12", "findNext 2", "close 1"));
    EXPECT_EQ(ended, 1);
}

// The run sits below the close request in its Start handler: it is asked
// to stop after its point, and the close goes on once it has returned.
TEST(Exit, ClosingDuringARunStopsTheRunFirst) {
    test::widgetApp();
    VirtualClock clock;
    visa::testing::FakeVisa visa;
    visa.resources = {"USB0::0x3A6D::0x0E31::TW00000001::INSTR"};
    InstrumentSession session(visa);
    session.openResourceManager();
    session.findMeters();
    QWidget form;
    Panel p;
    buildPanel(&form, p);
    test::FakeBoxes boxes;
    bool running = true;
    int stops = 0;
    int ended = 0;
    ExitCommand exit(p, session, boxes,
                     {.isRunning = [&] { return running; },
                      .requestStop = [&] { ++stops; },
                      .endProgram = [&] { ++ended; }});

    EXPECT_FALSE(exit.closeRequested());
    EXPECT_EQ(stops, 1);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_TRUE(std::none_of(visa.calls.begin(), visa.calls.end(),
                             [](const std::string& c) { return c.starts_with("open "); }));

    // The end of the run enables the save button, so the user is asked.
    running = false;
    p.ComSaveFrame->setEnabled(true);
    boxes.answers = {MessageBoxes::Answer::Yes};
    exit.runFinished();
    EXPECT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(ended, 1);
    EXPECT_TRUE(exit.closeRequested());

    // A run that ends without a close waiting asks nothing.
    ExitCommand other(p, session, boxes, {});
    other.runFinished();
    EXPECT_EQ(boxes.shown.size(), 1u);
    EXPECT_FALSE(other.ended());
}

}  // namespace
}  // namespace tq
