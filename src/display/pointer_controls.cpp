#include "display/pointer_controls.h"

#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QLineEdit>
#include <QObject>
#include <QPalette>
#include <QPushButton>
#include <QScopedValueRollback>
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <optional>

#include "common/clock.h"
#include "common/number_qstring.h"
#include "common/number_text.h"
#include "panel/build_helpers.h"
#include "panel/look.h"
#include "panel/panel.h"
#include "panel/readout_colour.h"
#include "rules/plot_geometry.h"
#include "rules/scale.h"
#include "store/record_store.h"
#include "store/slot_rows.h"

namespace tq {
namespace {

constexpr int kChannels = 10;
// Shape2 is a 135-twip circle; these offsets centre it on the point.
constexpr double kMarkerHalfWidth = 65;
constexpr double kMarkerHalfHeight = 68;
constexpr int kReferenceLineStep = 450;
// The overload reading as the read-out shows it.
constexpr auto kOverloadText = "9.9E+37";

// Where a stepper may move: strictly above `interiorLow` up to
// `interiorHigh` it steps either way; at `backEdge` it may still step back
// (Index 0), at `forwardEdge` forward (Index 1). Anywhere else a click does
// nothing, so the value stays within forwardEdge .. backEdge.
struct StepRange {
    double interiorLow;
    double interiorHigh;
    double backEdge;
    double forwardEdge;
};

std::optional<double> steppedValue(double p, int Index, const StepRange& r) {
    const bool interior = p > r.interiorLow && p <= r.interiorHigh;
    if (Index == 0 && (interior || p == r.backEdge)) {
        return p - 1;
    }
    if (Index == 1 && (interior || p == r.forwardEdge)) {
        return p + 1;
    }
    return std::nullopt;
}

// Reads the box, steps it and writes the new value back; none when the
// click changed nothing.
std::optional<double> stepBox(QLineEdit* box, int Index, const StepRange& range) {
    const std::optional<double> next = steppedValue(valOf(box->text()), Index, range);
    if (next) {
        box->setText(textOf(*next));
    }
    return next;
}

template <std::size_t N>
void connectIndexed(const std::array<QPushButton*, N>& buttons, PointerControls* self,
                    void (PointerControls::*handler)(int)) {
    for (std::size_t i = 0; i < N; ++i) {
        const int Index = static_cast<int>(i);
        QObject::connect(buttons[i], &QPushButton::clicked, buttons[i],
                         [self, handler, Index] { (self->*handler)(Index); });
    }
}

}  // namespace

PointerControls::PointerControls(Panel& panel, Clock& clock, ScaleState& scale, RecordStore& store,
                                 TrendPlot& plot)
    : panel_(panel), clock_(clock), scale_(scale), store_(store), plot_(plot) {}

void PointerControls::connectEvents() {
    QObject::connect(panel_.ChkPoint, &QCheckBox::toggled, panel_.ChkPoint,
                     [this] { ChkPoint_Click(); });
    QObject::connect(panel_.ChkPoint1, &QCheckBox::toggled, panel_.ChkPoint1,
                     [this] { ChkPoint1_Click(); });
    connectIndexed(panel_.CmdMove, this, &PointerControls::CmdMove_Click);
    connectIndexed(panel_.CmdUD, this, &PointerControls::CmdUD_Click);
    connectIndexed(panel_.CmdMove1, this, &PointerControls::CmdMove1_Click);
    connectIndexed(panel_.CmdMove2, this, &PointerControls::CmdMove2_Click);
    connectIndexed(panel_.Command5, this, &PointerControls::Command5_Click);
    connectIndexed(panel_.Command6, this, &PointerControls::Command6_Click);
}

void PointerControls::highlightPointerChannel() {
    for (int k = 0; k < kChannels; ++k) {
        build::fillBackground(panel_.FrameCH[static_cast<std::size_t>(k)],
                              k == PointerChannel ? look::kCentreGrey : look::kPanelGrey);
    }
}

void PointerControls::ChkPoint_Click() {
    if (panel_.ChkPoint->isChecked()) {
        panel_.ChkPoint->setText(QStringLiteral("Pointer Enable"));
        panel_.FramePoint->show();
        panel_.FramePoint1->show();
        PointerChannel = 0;
        build::fillBackground(panel_.FrameCH[0], look::kCentreGrey);
        panel_.Shape2->show();
    } else {
        panel_.ChkPoint->setText(QStringLiteral("Pointer Disable"));
        panel_.FramePoint->hide();
        panel_.FramePoint1->hide();
        build::fillBackground(panel_.FrameCH[static_cast<std::size_t>(PointerChannel)],
                              look::kPanelGrey);
        panel_.Shape2->hide();
    }
}

void PointerControls::ChkPoint1_Click() {
    const bool last = panel_.ChkPoint1->isChecked();
    panel_.ChkPoint1->setText(last ? QStringLiteral("Last Point") : QStringLiteral("Set Point"));
    for (QPushButton* button : panel_.CmdMove) {
        button->setEnabled(!last);
    }
}

void PointerControls::CmdMove_Click(int Index) {
    const double N = plot_.pointsPerScreen();
    stepBox(panel_.TxtPoint, Index,
            {.interiorLow = 1, .interiorHigh = N, .backEdge = N + 1, .forwardEdge = 1});
}

void PointerControls::CmdUD_Click(int Index) {
    if (Index != 0 && Index != 1) {
        return;
    }
    const int step = Index == 0 ? -1 : 1;
    const auto next = [step](int k) { return (k + step + kChannels) % kChannels; };
    const auto hidden = [this](int k) {
        return panel_.FrameCH[static_cast<std::size_t>(k)]->isHidden();
    };
    // CH1 is never hidden, so the search ends there at the latest; the bound
    // only keeps a window with every row hidden from looping.
    int k = next(PointerChannel);
    for (int tries = 1; tries < kChannels && hidden(k); ++tries) {
        k = next(k);
    }
    PointerChannel = static_cast<std::int16_t>(k);
    highlightPointerChannel();
}

void PointerControls::CmdMove1_Click(int Index) {
    // The move and its redraw yield; a click meanwhile would interleave two
    // redraws on one surface.
    if (reviewRunning_) {
        return;
    }
    const QScopedValueRollback<bool> running(reviewRunning_, true);
    WaveShift = 0;
    panel_.ChkPoint1->setChecked(false);

    const double N = plot_.pointsPerScreen();
    const double L = valOf(panel_.TxtRecordLen->text());
    if (stepBox(
            panel_.TxtPoint1, Index,
            {.interiorLow = N + 1, .interiorHigh = L - 1, .backEdge = L, .forwardEdge = N + 1})) {
        WaveShift = Index == 0 ? 1 : 2;
    }
    if (WaveShift != 0) {
        // Back: every row takes the row before it; forward: the row after.
        if (WaveShift == 1) {
            store_.scrollReverse(SeriesSet::all());
        } else {
            store_.scroll(SeriesSet::all());
        }
        clock_.yield();
        const double shift = WaveShift == 1 ? -1 : 1;
        for (Label* label : panel_.LabX) {
            label->setText(textOf(valOf(label->text()) + shift));
        }
    }
    if (!CursorPlaced) {
        CursorSlot = toInt32(N / 2).value_or(0);
        panel_.TxtCurPoint->setText(textOf(CursorSlot));
        CursorPlaced = true;
    }
    ReviewRedraw();
}

void PointerControls::CmdMove2_Click(int Index) {
    if (reviewRunning_) {
        return;
    }
    const QScopedValueRollback<bool> running(reviewRunning_, true);
    panel_.ChkPoint1->setChecked(false);
    const double N = plot_.pointsPerScreen();
    stepBox(panel_.TxtCurPoint, Index,
            {.interiorLow = 1, .interiorHigh = N, .backEdge = N + 1, .forwardEdge = 1});
    if (const std::optional<std::int32_t> slot = toInt32(valOf(panel_.TxtCurPoint->text()))) {
        CursorSlot = *slot;
    }
    ReviewRedraw();
}

void PointerControls::Command5_Click(int Index) {
    const int d = Index == 0 ? -kReferenceLineStep : kReferenceLineStep;
    panel_.LineX0->setX(panel_.LineX0->x1() + d, panel_.LineX0->x2() + d);
}

void PointerControls::Command6_Click(int Index) {
    const int d = Index == 0 ? -kReferenceLineStep : kReferenceLineStep;
    panel_.LineY0->setY(panel_.LineY0->y1() + d, panel_.LineY0->y2() + d);
}

void PointerControls::PlaceMarker(double slot, int channel, MarkerMode mode) {
    if (channel < 0 || channel >= kChannels) {
        return;
    }
    const auto k = static_cast<std::size_t>(channel);
    if (!panel_.ChkCH[k]->isChecked()) {
        return;
    }
    if (mode == MarkerMode::Review && channel != 0 && panel_.FrameCH[k]->isHidden()) {
        return;
    }
    // A slot outside the store leaves the marker where it was.
    const std::optional<std::int32_t> row = slotRowInStore(slot);
    if (!row) {
        return;
    }
    const int column = channel + 1;
    // A reading below the plot puts the marker on the bottom edge, where it
    // can still be seen.
    const std::int32_t y =
        std::min(store_.plotY(*row, column).value_or(RecordStore::kClearedPlotY), kPlotHeight);
    const std::optional<double> v = store_.value(*row, column);
    const auto left = static_cast<float>((slot - 1) * scale_.PointStep - kMarkerHalfWidth);
    const auto top = static_cast<float>(y - kMarkerHalfHeight);
    moveTwips(panel_.Shape2, static_cast<int>(std::lround(left)),
              static_cast<int>(std::lround(top)));
    panel_.TxtPointValue->setText(v ? textOf(*v) : QString());
}

void PointerControls::runPointer(std::int32_t lastSegment, RunMode mode) {
    if (!panel_.ChkPoint->isChecked()) {
        return;
    }
    // A main-unit run draws CH1 only.
    if (mode == RunMode::MainUnit && PointerChannel != 0) {
        return;
    }
    if (panel_.ChkPoint1->isChecked()) {
        const double newest = static_cast<double>(lastSegment) + 1;
        panel_.TxtPoint->setText(textOf(newest));
        PlaceMarker(newest, PointerChannel, MarkerMode::Run);
    } else {
        // The marker keeps its screen slot while the data move past it.
        PlaceMarker(valOf(panel_.TxtPoint->text()), PointerChannel, MarkerMode::Run);
    }
}

void PointerControls::ReviewRedraw() {
    panel_.PicScope->clear();
    PlaceMarker(CursorSlot, PointerChannel, MarkerMode::Review);
    // All ten read-outs, shown or not; a cursor typed outside the store
    // leaves them as they were.
    if (const std::optional<std::int32_t> row = slotRowInStore(CursorSlot)) {
        for (ReadoutIndex = 1; ReadoutIndex <= kChannels; ++ReadoutIndex) {
            QLineEdit* box = panel_.TxtDshow[static_cast<std::size_t>(ReadoutIndex - 1)];
            colourReadout(box, false);
            // A point without a reading shows an empty box.
            const std::optional<double> v = store_.value(*row, ReadoutIndex);
            const QString text = v ? textOf(*v) : QString();
            box->setText(text);
            if (text == QLatin1String(kOverloadText)) {
                colourReadout(box, true);
            }
        }
    }
    plot_.RedrawLabelNext = 1;
    const std::int32_t N = toInt32(plot_.pointsPerScreen()).value_or(0);
    // The review draws the whole screen; the point number matters to run
    // redraws only.
    const std::int32_t shown = toInt32(valOf(panel_.TxtPoint1->text())).value_or(0);
    plot_.DrawTraces(N, TraceMode::Review, shown);
}

void PointerControls::onRunEnd() {
    if (!panel_.ChkPoint->isChecked()) {
        return;
    }
    const std::array<QWidget*, 5> review{panel_.CmdMove1[0], panel_.CmdMove1[1], panel_.CmdMove2[0],
                                         panel_.CmdMove2[1], panel_.TxtCurPoint};
    for (QWidget* w : review) {
        w->show();
    }
    CursorPlaced = false;
}

}  // namespace tq
