#pragma once

#include <functional>

namespace tq {

class Clock;
class InstrumentSession;
class LinkReport;
class MeterInitial;
class Frame;
class Label;
struct Panel;

// The message frame Reconnect shows its text in while it looks; taken from
// a built panel.
struct ReconnectControls {
    ReconnectControls(const Panel& p);
    Frame* FrameMsg;
    Label* LabMsg;
};

struct ReconnectHooks {
    std::function<bool()> runIsGoing;
    // What the start-up does after Initial: the legend and the left axis.
    std::function<void()> afterInitial;
};

// Looks for the meter again without restarting the program: the stale
// session goes, and Initial runs as the start-up runs it, under the same
// message frame and with the same messages. The record of the last run is
// left alone.
class Reconnect {
  public:
    Reconnect(ReconnectControls controls, Clock& clock, InstrumentSession& session,
              MeterInitial& initial, LinkReport& report, ReconnectHooks hooks);

    // Does nothing while a run goes or a reconnect is already under way.
    void run();

  private:
    ReconnectControls p_;
    Clock& clock_;
    InstrumentSession& session_;
    MeterInitial& initial_;
    LinkReport& report_;
    ReconnectHooks hooks_;
    bool running_ = false;
};

}  // namespace tq
