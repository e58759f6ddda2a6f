#include "run/run_driver.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QObject>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QString>
#include <cstddef>

#include "common/log.h"
#include "common/number_qstring.h"
#include "common/number_text.h"
#include "display/scale_controls.h"
#include "display/trend_plot.h"
#include "engine/whole_run.h"
#include "instrument/failure_line.h"
#include "instrument/session.h"
#include "panel/message_boxes.h"
#include "panel/panel.h"
#include "panel/typed_input.h"
#include "store/record_store.h"

namespace tq {
namespace {

constexpr const char* kScanCardCaption = "掃描卡";
constexpr const char* kMainUnitCaption = "主  機";
constexpr const char* kDefaultPointsPerScreen = "100";

}  // namespace

RunDriver::RunDriver(Panel& panel, Clock& clock, InstrumentSession& session, ScaleState& scale,
                     ScaleControls& scaleControls, RecordStore& store, TrendPlot& plot,
                     MessageBoxes& boxes)
    : watches(clock),
      p_(panel),
      session_(session),
      boxes_(boxes),
      store_(store),
      plot_(plot),
      scaleControls_(scaleControls),
      link_(session),
      inputs_(panel, plot, stopRequested_),
      display_(panel, scaleControls, plot),
      ctx_{.clock = clock,
           .link = link_,
           .scale = scale,
           .store = store,
           .state = state,
           .watches = watches,
           .inputs = inputs_,
           .display = display_,
           .observers = observers_} {}

void RunDriver::connectEvents() {
    QObject::connect(p_.Command1, &QPushButton::clicked, p_.Command1, [this] { Command1_Click(); });
}

void RunDriver::requestStop() {
    if (!running_) {
        return;
    }
    stopRequested_ = true;
    p_.ChkTest[0]->setChecked(false);
}

void RunDriver::Command1_Click() {
    if (running_) {
        return;
    }
    // A field still being typed into is finished first, as a click on the
    // button would finish it by taking the focus.
    TypedInput::finishAll(p_.Form1);
    {
        const QScopedValueRollback running(running_, true);
        runOnce();
    }
    // Idle again before the hook runs: a window that waited for the run may
    // now close.
    if (hooks.runFinished) {
        hooks.runFinished();
    }
}

void RunDriver::runOnce() {
    stopRequested_ = false;
    startSteps();
    const bool scanCard = session_.ScanCardPresent == 1 && p_.ChkScanMode->isChecked();
    run::startRun(ctx_, setupKnown(scanCard));
    qCDebug(lcRun) << (scanCard ? "scan-card" : "main-unit") << "run started";
    const RunOutcome outcome = run::runPoints(ctx_);
    endOfRun();
    qCDebug(lcRun) << "run ended:" << static_cast<int>(outcome) << "with" << store_.pointsTaken()
                   << "points";
    run::finishRun(ctx_, outcome);
    // Every point taken so far stays in the store and can be saved.
    if (outcome == RunOutcome::MeterSilent || outcome == RunOutcome::ScanNeverDone) {
        const bool silent = outcome == RunOutcome::MeterSilent;
        // A meter whose link is gone did not just stop answering: the line
        // says which, as the status line and the journal do.
        const char* why = !silent                     ? "the scan never completed"
                          : state.LastFailureLostLink ? "the connection to the meter was lost"
                                                      : "the meter stopped answering";
        reportFailure(session_.ResourceName + ": " + why + "; the run was stopped",
                      session_.VisaStatus);
        boxes_.show(QString::fromUtf8(silent ? kMeterSilentMessage : kScanNeverDoneMessage),
                    defaultMessageTitle(), MessageBoxes::Buttons::Ok,
                    MessageBoxes::Icon::Exclamation);
    }
    stopRequested_ = false;
}

RunSetup RunDriver::setupKnown(bool scanCard) const {
    RunSetup s;
    s.mode = scanCard ? RunMode::ScanCard : RunMode::MainUnit;
    s.resource = session_.ResourceName;
    s.identity = session_.Identity;
    s.serial = serialLabel(session_.ResourceName);
    s.interval = p_.TxtSleep->text().toStdString();
    s.pointsPerScreen = toInt32(plot_.pointsPerScreen()).value_or(0);
    return s;
}

void RunDriver::startSteps() {
    // A points-per-screen below one, typed into the list's field, leaves no
    // screen for the run to fill and puts the export's window off the
    // store; like other fields typed out of range it is corrected in place.
    if (!(plot_.pointsPerScreen() >= 1)) {
        p_.CboPoint->setEditText(QString::fromLatin1(kDefaultPointsPerScreen));
        scaleControls_.CboPoint_Click();
    }
    const double W = plot_.pointsPerScreen();
    p_.PicScope->clear();
    for (QPushButton* b : {p_.CmdMove1[0], p_.CmdMove1[1], p_.CmdMove2[0], p_.CmdMove2[1]}) {
        b->hide();
    }
    p_.TxtCurPoint->hide();
    p_.TxtCurPoint->setText(textOf(W / 2));
    p_.Command1->setEnabled(false);
    p_.ComSaveFrame->setEnabled(false);
    if (hooks.runStarting) {
        hooks.runStarting();
    }
    p_.Text5->setText(QString());
    for (Label* label : p_.LabX1) {
        label->setText(QString::fromLatin1(kNoTimeText));
    }
    for (std::size_t k = 0; k < p_.LabX.size(); ++k) {
        p_.LabX[k]->setText(textOf(static_cast<double>(k) * W / 10 + 1));
    }
    for (QComboBox* combo : p_.CboFunc) {
        combo->setEnabled(false);
    }
    p_.TxtChNo->setEnabled(false);
    p_.CboPoint->setEnabled(false);
    p_.TxtRecordLen->setEnabled(false);
    p_.CmdEnd->setEnabled(false);
    p_.Label1[6]->setText(
        QString::fromUtf8(p_.ChkScanMode->isChecked() ? kScanCardCaption : kMainUnitCaption));
    p_.FrameMa->show();
    p_.ChkTest[0]->setChecked(true);
    p_.ChkTest[1]->setChecked(true);
}

void RunDriver::endOfRun() {
    for (QComboBox* combo : p_.CboFunc) {
        combo->setEnabled(true);
    }
    if (p_.ChkPoint->isChecked()) {
        for (QPushButton* b : {p_.CmdMove1[0], p_.CmdMove1[1], p_.CmdMove2[0], p_.CmdMove2[1]}) {
            b->show();
        }
        p_.TxtCurPoint->show();
        if (hooks.onRunEnd) {
            hooks.onRunEnd();
        }
    }
    p_.CboPoint->setEnabled(true);
    p_.TxtRecordLen->setEnabled(true);
    p_.Command1->setEnabled(true);
    p_.CmdEnd->setEnabled(true);
    // An enabled save button is what makes Exit ask before leaving.
    p_.ComSaveFrame->setEnabled(true);
    // Without a card the channel count and the mode panel stay as start-up
    // left them.
    if (session_.ScanCardPresent == 1) {
        p_.TxtChNo->setEnabled(true);
        p_.FrameMa->hide();
    }
}

}  // namespace tq
