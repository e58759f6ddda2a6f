#include "app/exit_command.h"

#include <QObject>
#include <QPushButton>
#include <utility>

#include "instrument/session.h"
#include "panel/message_boxes.h"
#include "panel/panel.h"

namespace tq {

ExitControls::ExitControls(const Panel& p) : CmdEnd(p.CmdEnd), ComSaveFrame(p.ComSaveFrame) {}

ExitCommand::ExitCommand(ExitControls controls, InstrumentSession& session, MessageBoxes& boxes,
                         ExitHooks hooks)
    : p_(controls), session_(session), boxes_(boxes), hooks_(std::move(hooks)) {}

void ExitCommand::connectEvents() {
    QObject::connect(p_.CmdEnd, &QPushButton::clicked, p_.CmdEnd, [this] { CmdEnd_Click(); });
}

bool ExitCommand::running() const {
    return hooks_.isRunning && hooks_.isRunning();
}

void ExitCommand::CmdEnd_Click() {
    exitSequence();
}

void ExitCommand::exitSequence() {
    // The question is modal and the release talks to the meter: a second
    // Exit meanwhile (the close button) must not start another.
    if (busy_ || ended_) {
        return;
    }
    busy_ = true;
    // The save button is enabled exactly while a finished run is unexported.
    const bool leave = !p_.ComSaveFrame->isEnabled() ||
                       boxes_.show(QString::fromUtf8(kUnsavedDataQuestion), defaultMessageTitle(),
                                   MessageBoxes::Buttons::YesNo,
                                   MessageBoxes::Icon::None) == MessageBoxes::Answer::Yes;
    busy_ = false;
    if (!leave) {
        return;
    }
    session_.release();
    ended_ = true;
    if (hooks_.endProgram) {
        hooks_.endProgram();
    }
}

bool ExitCommand::closeRequested() {
    if (ended_) {
        return true;
    }
    if (running()) {
        // The run sits inside its Start handler below this event: it has to
        // unwind before the meter can be released.
        closeWaitsForRun_ = true;
        if (hooks_.requestStop) {
            hooks_.requestStop();
        }
        return false;
    }
    exitSequence();
    return ended_;
}

void ExitCommand::runFinished() {
    if (!closeWaitsForRun_) {
        return;
    }
    closeWaitsForRun_ = false;
    exitSequence();
}

}  // namespace tq
