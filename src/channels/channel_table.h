#pragma once

#include <cstdint>
#include <string_view>

namespace tq {

class Clock;
class ScaleControls;
struct ChannelSetupState;
struct Panel;

// The window's handlers for the ten channel rows: function, filter, removing
// a row, and the diagnostic trace offsets. A row keeps its state in its
// controls (FrameCH visible = in use, CboFunc, CboRange, CboFilter).
class ChannelTable {
  public:
    ChannelTable(Panel& panel, Clock& clock, ChannelSetupState& setup,
                 const std::int16_t& scanCardPresent, ScaleControls& scale);

    // CboFunc and CboFilter run their handlers on a user's pick, Lab1x on a
    // click, Check1 whenever its value changes.
    void connectEvents();

    void CboFunc_Click(int Index);
    void CboFilter_Click(int Index);
    void Lab1x_Click(int Index);
    void Check1_Click();

  private:
    void takeDonorRange(int Index);
    void takeSharedFilter(int Index);
    void raiseToFilterMinima(std::string_view filter);
    void recheckAcRows();

    Panel& p_;
    Clock& clock_;
    ChannelSetupState& setup_;
    const std::int16_t& ScanCardPresent;
    ScaleControls& scale_;
};

}  // namespace tq
