#include "app/start_up.h"

#include <cstdint>
#include <utility>

#include "app/meter_initial.h"
#include "channels/channel_setup_state.h"
#include "common/clock.h"
#include "instrument/session.h"
#include "panel/panel.h"
#include "rules/scale.h"

namespace tq {
namespace {

// How finely the plot is stepped until the user picks points per screen.
constexpr double kStartPointsPerDiv = 10;
constexpr std::int16_t kStartPointStep = 90;

void call(const std::function<void()>& hook) {
    if (hook) {
        hook();
    }
}

}  // namespace

StartUpControls::StartUpControls(const Panel& p)
    : FrameMsg(p.FrameMsg), LineX0(p.LineX0), LineY0(p.LineY0) {}

StartUp::StartUp(StartUpControls controls, Clock& clock, InstrumentSession& session,
                 MeterInitial& initial, ScaleState& scale, ChannelSetupState& setup,
                 StartUpHooks hooks)
    : p_(controls),
      clock_(clock),
      session_(session),
      initial_(initial),
      scale_(scale),
      setup_(setup),
      hooks_(std::move(hooks)) {}

bool StartUp::ending() const {
    return hooks_.programEnding && hooks_.programEnding();
}

void StartUp::run() {
    if (started_) {
        return;
    }
    started_ = true;

    p_.FrameMsg->show();
    clock_.yield();
    if (ending()) {
        return;
    }
    call(hooks_.LayoutGrid);
    call(hooks_.DrawScaleLabels);
    clock_.pause(kSettleMs);
    if (ending()) {
        return;
    }
    setRunDefaults();

    initial_.Initial();
    if (ending()) {
        return;
    }
    // The outcome stays readable before the frame goes.
    clock_.pause(kSettleMs);
    if (ending()) {
        return;
    }
    call(hooks_.colourLegend);
    if (hooks_.CboScale_Click) {
        hooks_.CboScale_Click(0);
    }
    // Without a meter the failure stays up until the user clicks it away.
    if (session_.FoundCount > 0) {
        p_.FrameMsg->hide();
    }
}

void StartUp::setRunDefaults() {
    setup_.MinScanTime = 0;
    setup_.MinTrigDelay = 0;
    // The centre lines rest at the corner until the plot places them.
    p_.LineX0->setX(0, 0);
    p_.LineY0->setY(0, 0);
    scale_.FreqAutoScaled = false;
    scale_.FreqRangeChanged = false;
    scale_.PeriodAutoScaled = false;
    scale_.PeriodRangeChanged = false;
    setup_.NoAcChannel = true;
    scale_.PointsPerDiv = kStartPointsPerDiv;
    scale_.PointStep = kStartPointStep;
    scale_.MathAutoScaled = false;
}

}  // namespace tq
