#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

#include "catalogue/run_mode.h"

namespace tq {

struct Panel;
class Clock;
struct ScaleState;
class RecordStore;

// What a time label under the plot shows for a point not taken.
inline constexpr const char* kNoTimeText = "---";

// A run redraw draws the slots filled so far; a review redraw the whole
// screen, only for channels in use.
enum class TraceMode { Run, Review };

// The trend plot: grid, legend, the redraw of the visible window from the
// record store, the time and point-number labels. It never moves the
// record: the run engine scrolls it.
class TrendPlot {
  public:
    TrendPlot(Panel& panel, Clock& clock, ScaleState& scale, RecordStore& store);

    // Start-up: level lines and the grid 450 twips apart.
    void LayoutGrid();
    // Start-up: Shape1(0..10) take the channel colours.
    void colourLegend();

    // After every point: clear, draw slots 1..LastSegment + 1, fill the
    // time labels, step the point-number labels once the window scrolls.
    void RunRedraw(std::int32_t PointIndex, RunMode mode);
    // The segment loop shared by the run redraw and the review redraw:
    // S segments; in review mode S is the points per screen. A main-unit
    // run draws CH1 alone.
    void DrawTraces(std::int32_t S, TraceMode mode, std::int32_t PointIndex,
                    RunMode runMode = RunMode::ScanCard);
    // Points per screen (N), as CboPoint shows them.
    double pointsPerScreen() const;

    // The pointer marker of a run redraw (set by whoever owns the pointer).
    void setRunMarkerHook(std::function<void(std::int32_t lastSegment, RunMode mode)> hook);

    std::int32_t LastSegment = 0;
    int TimeLabelNext = 1;
    int RedrawLabelNext = 1;

  private:
    // The end of one segment is the start of the next: each store cell is
    // read once per redraw.
    // A cell without a reading has no y: no segment goes to or from it.
    struct RowCache {
        std::array<int, 12> rows{};
        std::array<std::optional<std::int32_t>, 12> ys{};
        std::optional<std::int32_t> y(const RecordStore& store, int row, int column);
    };
    void drawColumn(RowCache& cache, int column, int s, float x1, float x2);
    // Labels every perDiv slots (PointsPerDiv as a whole number, not 0).
    void runTimeLabels(int s, std::int32_t perDiv, std::int32_t PointIndex, double N);
    void reviewTimeLabels(int s, std::int32_t perDiv, double N);
    void setTimeLabel(int k, int row);

    Panel& panel_;
    Clock& clock_;
    ScaleState& scale_;
    RecordStore& store_;
    std::function<void(std::int32_t, RunMode)> runMarkerHook_;
};

}  // namespace tq
