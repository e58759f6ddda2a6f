#include "display/trend_plot.h"

#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QLineEdit>
#include <QString>
#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>
#include <utility>

#include "common/clock.h"
#include "common/number_qstring.h"
#include "panel/panel.h"
#include "panel/typed_input.h"
#include "rules/plot_geometry.h"
#include "rules/plot_rule.h"
#include "rules/scale.h"
#include "store/record_store.h"
#include "store/slot_rows.h"

namespace tq {
namespace {

constexpr int kGridStep = 450;
constexpr int kFullScaleLevelY = kFullScaleY;
// The second level line rests below the visible area.
constexpr int kLowerLevelY = 5850;
constexpr int kLastGridLine = 19;
constexpr int kLastHorizontalGridLine = 10;
// Slots beyond the store's screen rows cannot be drawn.
constexpr std::int32_t kMaxSegments = kScreenSlots;
constexpr int kLastTimeLabel = kPointLabelCount - 1;

// N as a whole number of slots the store can hold.
std::int32_t wholeSlots(double N) {
    return std::clamp<std::int32_t>(toInt32(N).value_or(0), 0, kMaxSegments);
}

// Pens by store column (index 0 unused), made once: a redraw draws up to
// 11000 segments.
const std::array<QColor, kMathColumn + 1>& pens() {
    static const std::array<QColor, kMathColumn + 1> table = [] {
        std::array<QColor, kMathColumn + 1> t{};
        for (int column = 1; column <= kMathColumn; ++column) {
            const Rgb c = channelColour(column);
            t[static_cast<std::size_t>(column)] = QColor(c.red, c.green, c.blue);
        }
        return t;
    }();
    return table;
}

const QColor& colourOf(int column) {
    return pens()[static_cast<std::size_t>(column)];
}

// The centre line LineY0 rests on the top edge from start-up and lies over
// the traces; a trace on that edge (an overload) is drawn one pixel inside.
float shownY(std::int32_t y) {
    constexpr std::int32_t kTopEdgeInside = kTwipsPerPixel;
    return static_cast<float>(y >= 0 && y < kTopEdgeInside ? kTopEdgeInside : y);
}

// Mod of a slot by PointsPerDiv, whose rounding is the same for every slot.
std::optional<std::int32_t> labelDivisor(double pointsPerDiv) {
    const std::optional<std::int32_t> d = toInt32(pointsPerDiv);
    return d && *d != 0 ? d : std::nullopt;
}

// The picture is painted once it is whole: the redraw yields after every
// slot, and each yield would otherwise repaint what was drawn so far.
class HeldPainting {
  public:
    explicit HeldPainting(QWidget* surface) : surface_(surface), held_(surface->updatesEnabled()) {
        surface_->setUpdatesEnabled(false);
    }
    ~HeldPainting() {
        if (held_) {
            surface_->setUpdatesEnabled(true);
            surface_->update();
        }
    }
    HeldPainting(const HeldPainting&) = delete;
    HeldPainting& operator=(const HeldPainting&) = delete;

  private:
    QWidget* surface_;
    bool held_;
};

}  // namespace

TrendPlot::TrendPlot(Panel& panel, Clock& clock, ScaleState& scale, RecordStore& store)
    : panel_(panel), clock_(clock), scale_(scale), store_(store) {}

void TrendPlot::setRunMarkerHook(std::function<void(std::int32_t, RunMode)> hook) {
    runMarkerHook_ = std::move(hook);
}

double TrendPlot::pointsPerScreen() const {
    // A number still being typed is not in effect yet.
    return valOf(TypedInput::settledText(panel_.CboPoint));
}

void TrendPlot::LayoutGrid() {
    panel_.LineYhl[0]->setY(kFullScaleLevelY, kFullScaleLevelY);
    panel_.LineYhl[1]->setY(kLowerLevelY, kLowerLevelY);
    for (std::size_t i = 1; i <= kLastGridLine; ++i) {
        if (i <= kLastHorizontalGridLine) {
            const Line* before = panel_.LineY[i - 1];
            panel_.LineY[i]->show();
            panel_.LineY[i]->setY(before->y1() + kGridStep, before->y2() + kGridStep);
        }
        const Line* before = panel_.LineX[i - 1];
        panel_.LineX[i]->show();
        panel_.LineX[i]->setX(before->x1() + kGridStep, before->x2() + kGridStep);
        clock_.yield();
    }
}

void TrendPlot::colourLegend() {
    for (std::size_t i = 0; i < panel_.Shape1.size(); ++i) {
        panel_.Shape1[i]->setFillColor(colourOf(static_cast<int>(i) + 1));
    }
}

void TrendPlot::RunRedraw(std::int32_t PointIndex, RunMode mode) {
    const double N = pointsPerScreen();
    const HeldPainting held(panel_.PicScope);
    panel_.PicScope->clear();
    TimeLabelNext = 1;
    LastSegment = N < PointIndex ? wholeSlots(N) : std::clamp(PointIndex - 1, 0, kMaxSegments);
    panel_.TxtPoint1->setText(textOf(PointIndex));
    if (PointIndex < 2) {
        if (PointIndex == 1) {
            setTimeLabel(0, slotRow(1));
        }
    } else {
        if (panel_.ChkPoint->isChecked() && runMarkerHook_) {
            runMarkerHook_(LastSegment, mode);
        }
        DrawTraces(LastSegment, TraceMode::Run, PointIndex, mode);
    }
    // Once the window scrolls, slot 1 holds a later point after every one.
    if (N + 1 < PointIndex) {
        for (Label* label : panel_.LabX) {
            label->setText(textOf(valOf(label->text()) + 1));
        }
    }
}

void TrendPlot::DrawTraces(std::int32_t S, TraceMode mode, std::int32_t PointIndex,
                           RunMode runMode) {
    const double N = pointsPerScreen();
    const int lastChannel =
        runMode == RunMode::MainUnit ? 1 : static_cast<int>(panel_.ChkCH.size());
    const HeldPainting held(panel_.PicScope);
    if (mode == TraceMode::Review) {
        RedrawLabelNext = 1;
    }
    S = std::min(S, kMaxSegments);
    const std::optional<std::int32_t> perDiv = labelDivisor(scale_.PointsPerDiv);
    RowCache cache;
    for (int s = 1; s <= S; ++s) {
        const auto x1 = static_cast<float>(slotX(s, scale_.PointStep));
        const auto x2 = static_cast<float>(slotX(s + 1, scale_.PointStep));
        // Check boxes are read at every slot, so a click during a redraw
        // counts from the next slot on.
        for (int j = 1; j <= lastChannel; ++j) {
            const auto i = static_cast<std::size_t>(j - 1);
            const bool inUse = mode == TraceMode::Run || j == 1 || !panel_.FrameCH[i]->isHidden();
            if (panel_.ChkCH[i]->isChecked() && inUse) {
                drawColumn(cache, j, s, x1, x2);
            }
        }
        if (runMode == RunMode::ScanCard && panel_.ChkMath->isChecked()) {
            const bool chosen = !panel_.Cbo1[0]->currentText().isEmpty() &&
                                !panel_.Cbo1[1]->currentText().isEmpty() &&
                                !panel_.Cbo2->currentText().isEmpty();
            if (mode == TraceMode::Run || chosen) {
                drawColumn(cache, kMathColumn, s, x1, x2);
            }
        }
        clock_.yield();
        if (perDiv && mode == TraceMode::Run) {
            runTimeLabels(s, *perDiv, PointIndex, N);
        } else if (perDiv) {
            reviewTimeLabels(s, *perDiv, N);
        }
        clock_.yield();
    }
}

std::optional<std::int32_t> TrendPlot::RowCache::y(const RecordStore& store, int row, int column) {
    const auto c = static_cast<std::size_t>(column);
    if (rows[c] != row) {
        rows[c] = row;
        ys[c] = store.value(row, column) ? store.plotY(row, column) : std::nullopt;
    }
    return ys[c];
}

void TrendPlot::drawColumn(RowCache& cache, int column, int s, float x1, float x2) {
    const int row = slotRow(s);
    const std::optional<std::int32_t> y1 = cache.y(store_, row, column);
    const std::optional<std::int32_t> y2 = cache.y(store_, row + 1, column);
    if (y1 && y2) {
        panel_.PicScope->drawSegment(x1, shownY(*y1), x2, shownY(*y2), colourOf(column));
    }
}

// Label k shows the time of slot k x N / 10 + 1.
void TrendPlot::runTimeLabels(int s, std::int32_t perDiv, std::int32_t PointIndex, double N) {
    if (s % perDiv != 0) {
        return;
    }
    setTimeLabel(TimeLabelNext, slotRow(s + 1));
    TimeLabelNext += 1;
    if (N < PointIndex) {
        setTimeLabel(0, slotRow(1));
    }
}

void TrendPlot::reviewTimeLabels(int s, std::int32_t perDiv, double N) {
    if ((s - 1) % perDiv != 0) {
        return;
    }
    setTimeLabel(RedrawLabelNext - 1, slotRow(s));
    RedrawLabelNext += 1;
    setTimeLabel(kLastTimeLabel, slotRow(wholeSlots(N) + 1));
}

void TrendPlot::setTimeLabel(int k, int row) {
    // Points per screen that do not divide into ten would run past the last
    // label.
    if (k < 0 || k > kLastTimeLabel) {
        return;
    }
    const std::optional<double> t = store_.time(row);
    panel_.LabX1[static_cast<std::size_t>(k)]->setText(t ? textOf(*t)
                                                         : QString::fromLatin1(kNoTimeText));
}

}  // namespace tq
