#include "app/script/virtual_time_pump.h"

#include <QCoreApplication>
#include <QEventLoop>

#include "app/script/script_clock.h"
#include "common/virtual_clock.h"

namespace tq {

VirtualTimePump::VirtualTimePump(VirtualClock& time, ScriptClock& clock)
    : time_(time), clock_(clock) {
    timer_.setInterval(0);
    QObject::connect(&timer_, &QTimer::timeout, [this] { step(); });
    time_.setYieldHook([] { QCoreApplication::processEvents(); });
    time_.setIdleHook([this] {
        // Reached from step() below too, where the event loop itself is the
        // caller and there is nothing to wait for.
        if (!clock_.busy()) {
            return;
        }
        QCoreApplication::processEvents(
            time_.hasPendingTimers() ? QEventLoop::AllEvents
                                     : QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    });
    clock_.setTimerStartedHook([this] { wake(); });
    wake();
}

void VirtualTimePump::wake() {
    if (!timer_.isActive()) {
        timer_.start();
    }
}

void VirtualTimePump::step() {
    if (!time_.hasPendingTimers()) {
        timer_.stop();
        return;
    }
    // Inside a handler (a run yielding) time belongs to the handler: moving
    // it here would make the run's own clock jump.
    if (clock_.busy()) {
        return;
    }
    time_.idle();
}

}  // namespace tq
