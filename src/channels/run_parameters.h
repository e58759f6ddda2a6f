#pragma once

#include <QString>
#include <cstdint>

namespace tq {

class ChannelTable;
class Clock;
class MessageBoxes;
struct ChannelSetupState;
struct Panel;

// Limits of the run parameters.
inline constexpr double kRecordLengthLimit = 10000;  // points
inline constexpr double kIntervalFloor = 0.01;       // seconds
// The "Scan / Trigger" panel rests above the window's top edge or at its top.
inline constexpr int kPanelHiddenTop = -3060;  // twips
inline constexpr int kPanelShownTop = 0;
inline constexpr int kPanelSlideStep = 30;

inline constexpr const char* kRecordLengthMessage = "記錄長度最高10000點!!";
inline constexpr const char* kIntervalWarning = "間隔時間不可小於 0.01 Sec !!";
inline constexpr const char* kChannelCountWarning = "測試CH數只能 1 ~ 10 !! (Channels: 1 to 10)";

// The window's handlers for the parameters of the next run: channel count,
// record length, interval, the mode switch, the warning strip and the
// sliding "Scan / Trigger" panel. The values live as the texts of their
// fields; the run reads them there.
class RunParameters {
  public:
    // Drives the window's Timer1 from `clock`.
    RunParameters(Panel& panel, Clock& clock, ChannelSetupState& setup,
                  const std::int16_t& scanCardPresent, ChannelTable& table, MessageBoxes& boxes);

    // Text boxes run their handlers on every change of their text by code
    // and on every value a user has finished typing, check boxes on every
    // change of their value, commands on a click.
    void connectEvents();

    void TxtChNo_Change();
    void TxtRecordLen_Change();
    void TxtSleep_Change();
    void TxtScanTimer_Change();
    void TxtTrigDelay_Change();
    void ChkScanMode_Click();
    void CmdOther_Click();
    void Timer1_Timer();
    void ChkTest_Click(int Index);
    void ComdReadMem_Click();

    // The minima the AC set-up demands start at none (start-up).
    void setStartDefaults();

  private:
    void showRow(int row, bool shown);
    void judgeTypedChannelCount();

    Panel& p_;
    Clock& clock_;
    ChannelSetupState& setup_;
    const std::int16_t& ScanCardPresent;
    ChannelTable& table_;
    MessageBoxes& boxes_;
    bool sliding_ = false;
    // The last channel count that laid out the rows.
    QString channelCountInEffect_;
};

}  // namespace tq
