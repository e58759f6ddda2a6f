#pragma once

#include <functional>

namespace tq {

class Clock;
class InstrumentSession;
class MeterInitial;
struct ChannelSetupState;
class Frame;
class Line;
struct Panel;
struct ScaleState;

// The controls the start-up shows or places: the message frame over the
// window while it runs, and the centre lines, which rest at the corner
// until the plot places them. Taken from a built panel.
struct StartUpControls {
    StartUpControls(const Panel& p);
    Frame* FrameMsg;
    Line* LineX0;
    Line* LineY0;
};

// What the start-up calls in the plot and the scale controls.
struct StartUpHooks {
    std::function<void()> LayoutGrid;
    std::function<void()> DrawScaleLabels;
    std::function<void()> colourLegend;
    std::function<void(int Index)> CboScale_Click;
    // True once Exit has handed the meter back: the rest of the start-up is
    // dropped so that the meter is not taken into remote control again.
    std::function<bool()> programEnding;
};

// The sequence between the window first showing and the user being able to
// start a run: the message frame, the plot's grid and labels, the run
// defaults, the meter, the legend. It runs once.
class StartUp {
  public:
    static constexpr int kSettleMs = 2000;

    StartUp(StartUpControls controls, Clock& clock, InstrumentSession& session,
            MeterInitial& initial, ScaleState& scale, ChannelSetupState& setup, StartUpHooks hooks);

    // Later calls do nothing.
    void run();
    bool started() const { return started_; }

  private:
    void setRunDefaults();
    bool ending() const;

    StartUpControls p_;
    Clock& clock_;
    InstrumentSession& session_;
    MeterInitial& initial_;
    ScaleState& scale_;
    ChannelSetupState& setup_;
    StartUpHooks hooks_;
    bool started_ = false;
};

}  // namespace tq
