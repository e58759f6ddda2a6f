#pragma once

#include <QTimer>

namespace tq {

class ScriptClock;
class VirtualClock;

// Fast mode: the whole program on virtual time. Handlers move that time on
// themselves (a pause advances it at once); what is left is the event loop
// with nothing to do while a timer is pending on the clock (a script's wait,
// the warning strip's timer). Then this moves time straight to the next
// timer and fires it. With no timer pending it sleeps, so a window left
// open after a script costs nothing.
class VirtualTimePump {
  public:
    // Also sets the clock's hooks: yields serve the window's events, and a
    // handler holding on idle() (a paused run) waits for real events only
    // when no timer is pending, since only the user can release it then.
    VirtualTimePump(VirtualClock& time, ScriptClock& clock);
    VirtualTimePump(const VirtualTimePump&) = delete;
    VirtualTimePump& operator=(const VirtualTimePump&) = delete;

    // Arms the pump; the clock calls it whenever a timer is started.
    void wake();

  private:
    void step();

    VirtualClock& time_;
    ScriptClock& clock_;
    QTimer timer_;
};

}  // namespace tq
