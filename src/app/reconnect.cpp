#include "app/reconnect.h"

#include <QScopedValueRollback>

#include "app/link_report.h"
#include "app/meter_initial.h"
#include "app/start_up.h"
#include "common/clock.h"
#include "instrument/session.h"
#include "panel/panel.h"

namespace tq {
namespace {

// The message frame's text while the meter is being set up.
constexpr const char* kSettingUp = "系統設定中...";

}  // namespace

ReconnectControls::ReconnectControls(const Panel& p) : FrameMsg(p.FrameMsg), LabMsg(p.LabMsg) {}

Reconnect::Reconnect(ReconnectControls controls, Clock& clock, InstrumentSession& session,
                     MeterInitial& initial, LinkReport& report, ReconnectHooks hooks)
    : p_(controls),
      clock_(clock),
      session_(session),
      initial_(initial),
      report_(report),
      hooks_(std::move(hooks)) {}

void Reconnect::run() {
    if (running_ || (hooks_.runIsGoing && hooks_.runIsGoing())) {
        return;
    }
    const QScopedValueRollback busy(running_, true);
    // Closing the resource manager closes a session the lost link left
    // open; the new search starts from nothing.
    session_.closeResourceManager();
    session_.InstrSession = visa::VI_NULL;
    p_.LabMsg->setText(QString::fromUtf8(kSettingUp));
    p_.FrameMsg->show();
    clock_.yield();
    initial_.Initial();
    // The outcome stays readable before the frame goes.
    clock_.pause(StartUp::kSettleMs);
    if (hooks_.afterInitial) {
        hooks_.afterInitial();
    }
    if (session_.FoundCount > 0) {
        p_.FrameMsg->hide();
    }
    report_.afterInitial(initial_.outcome());
}

}  // namespace tq
