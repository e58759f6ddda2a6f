#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/catalogue.h"
#include "display/trend_plot.h"
#include "panel/field_value.h"
#include "run/run_context.h"

#include <QString>

class QComboBox;
class QLineEdit;

// The steps both kinds of run take for every point: sending lines, the
// range translation, the read-outs, the first-reading scales, the time
// stamp, the count of reads that brought nothing, and the wait between
// points.
namespace tq::run {

// Reads in a row that bring nothing before the meter is taken as gone.
inline constexpr int kSilentReadLimit = 10;

inline constexpr const char* kMeterSilentMessage =
    "儀器沒有回應,測試已停止!! (The meter stopped answering; the run was stopped.)";
inline constexpr const char* kScanNeverDoneMessage =
    "掃描沒有完成,測試已停止!! (The scan never completed; the run was stopped.)";

std::string comboText(const QComboBox* combo);
// A row is in use while its frame is shown (whether or not the window is).
bool rowInUse(const Panel& panel, int row);

void send(RunContext& ctx, std::string line);
// The lines with their pauses and yields.
void sendSteps(RunContext& ctx, const std::vector<catalogue::CommandStep>& steps);

// Translates the row's range as the run start does for its function and
// returns the range value to send.
double translateForRun(RunContext& ctx, const catalogue::Function& function,
                       std::string_view range);

// Counts a read; true once kSilentReadLimit reads in a row were unusable.
bool meterSilent(RunContext& ctx, bool usable);

// Read-out box i (0..9): emptied on white, or showing a reading (red for an
// overload).
void clearReadout(RunContext& ctx, int i);
void showReading(RunContext& ctx, int i, double reading);

// The first valid Frequency or Period reading of a run fixes that
// function's full scale; the left axis is rewritten when it shows channel k.
void scaleFromFirstReading(RunContext& ctx, std::string_view function, int k, double reading);

// The point's row emptied, then its time, rounded through the picture.
void storePointTime(RunContext& ctx, std::string_view picture);

// The row of the current point.
int currentRow(const RunContext& ctx);

// The interval in whole milliseconds, halves to even; never negative.
std::int64_t intervalMs(double seconds);

// After the point is drawn: the end test, the hold while the pause toggle
// is released (the run toggle is not looked at during the hold), the
// interval, which a released run toggle cuts short; a run toggle released
// by then ends the run before another point is begun.
RunOutcome endOfPoint(RunContext& ctx);

// The point loop both modes share: for every point up to the record length
// (fixed when the loop starts), program it, acquire it, redraw, advance the
// window and take the end, pause and interval step.
RunOutcome pointLoop(RunContext& ctx, RunMode mode, const std::function<void()>& programPoint,
                     const std::function<RunOutcome()>& acquirePoint);

}  // namespace tq::run
