#pragma once

#include <cstdint>

#include "display/trend_plot.h"

namespace tq {

struct Panel;
class Clock;
struct ScaleState;
class RecordStore;

// The pointer marker on a trace, its read-out, the slot steppers, the
// waveform move and the review cursor after a run, the channel selector
// and the reference lines.
class PointerControls {
  public:
    enum class MarkerMode { Run, Review };

    PointerControls(Panel& panel, Clock& clock, ScaleState& scale, RecordStore& store,
                    TrendPlot& plot);
    void connectEvents();

    void ChkPoint_Click();
    void ChkPoint1_Click();
    void CmdMove_Click(int Index);
    void CmdUD_Click(int Index);
    void CmdMove1_Click(int Index);
    void CmdMove2_Click(int Index);
    void Command5_Click(int Index);
    void Command6_Click(int Index);

    // Puts Shape2 on the trace of channel (0..9) at a screen slot and shows
    // the value under it.
    void PlaceMarker(double slot, int channel, MarkerMode mode);
    // The pointer during a run ("Last Point" or "Set Point"); the trend
    // plot's run redraw calls it.
    void runPointer(std::int32_t lastSegment, RunMode mode);
    // The redraw after a waveform or cursor move.
    void ReviewRedraw();
    // End of a run with the pointer on: the review commands appear.
    void onRunEnd();

    std::int16_t PointerChannel = 0;
    std::int32_t CursorSlot = 0;
    bool CursorPlaced = false;
    std::int16_t WaveShift = 0;
    int ReadoutIndex = 0;

  private:
    // FrameCH of the pointer channel grey, the others light grey.
    void highlightPointerChannel();

    Panel& panel_;
    Clock& clock_;
    ScaleState& scale_;
    RecordStore& store_;
    TrendPlot& plot_;
    // A waveform or cursor move with its redraw is under way.
    bool reviewRunning_ = false;
};

}  // namespace tq
