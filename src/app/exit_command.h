#pragma once

#include <functional>

class QPushButton;

namespace tq {

class InstrumentSession;
class MessageBoxes;
struct Panel;

// Asked before leaving while a finished run has not been exported.
inline constexpr const char* kUnsavedDataQuestion = "資料尚未儲存,是否仍要離開!!";

// The two controls Exit uses: its button, and the save button, which is
// enabled exactly while a finished run is unexported. Taken from a built
// panel (implicitly, so the panel itself can be handed over).
struct ExitControls {
    ExitControls(const Panel& p);
    QPushButton* CmdEnd;
    QPushButton* ComSaveFrame;
};

// What Exit needs from the run and from the program around the window.
struct ExitHooks {
    // Whether a run is going, and the request that ends it after its current
    // point (the run driver's isRunning() and requestStop()).
    std::function<bool()> isRunning;
    std::function<void()> requestStop;
    // Ends the program at once, without further window events.
    std::function<void()> endProgram;
};

// Exit: asks about an unexported run, hands every meter back to its front
// panel and ends the program. Closing the window from its title bar is the
// same command; during a run it first lets the run stop after its point.
class ExitCommand {
  public:
    ExitCommand(ExitControls controls, InstrumentSession& session, MessageBoxes& boxes,
                ExitHooks hooks);

    // CmdEnd runs its handler on a click.
    void connectEvents();

    void CmdEnd_Click();

    // The window's close button: true when the window may close now (the
    // program has ended), false when it stays (No, or a run must stop first).
    bool closeRequested();
    // The run has returned to idle; a close that waited for it goes on.
    void runFinished();

    // The meter has been released and the program told to end.
    bool ended() const { return ended_; }

  private:
    bool running() const;
    void exitSequence();

    ExitControls p_;
    InstrumentSession& session_;
    MessageBoxes& boxes_;
    ExitHooks hooks_;
    bool busy_ = false;
    bool closeWaitsForRun_ = false;
    bool ended_ = false;
};

}  // namespace tq
