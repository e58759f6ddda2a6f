#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QImage>
#include <QLineEdit>
#include <QWidget>
#include <algorithm>
#include <vector>

#include "common/virtual_clock.h"
#include "display/trend_plot.h"
#include "panel/panel.h"
#include "panel/widget_app.h"
#include "rules/scale.h"
#include "store/record_store.h"
#include "support/plot_parts.h"

namespace tq {
namespace {

class TrendPlotTest : public ::testing::Test, protected test::PlotParts {
  protected:
    TrendPlotTest() {
        buildPanel(&form, p);
        p.CboPoint->setEditText("100");
        setPointsPerScreen(scale, 100);
        // Slot s: y = 1000 + 10 s + column, value s + column / 100, time s / 10.
        for (int s = 1; s <= 1001; ++s) {
            for (int c = 1; c <= 11; ++c) {
                store.setPlotY(10000 + s, c, 1000 + 10 * s + c);
                store.setValue(10000 + s, c, s + c / 100.0);
            }
            store.setTime(10000 + s, s / 10.0);
        }
    }
    long drawnIn(const QColor& c) const {
        return std::ranges::count(p.PicScope->segments(), c, &PlotSurface::Segment::color);
    }
};

TEST_F(TrendPlotTest, GridAndLegendAtStartUp) {
    plot.LayoutGrid();
    plot.colourLegend();
    EXPECT_EQ(p.LineYhl[0]->y1(), 900);
    EXPECT_EQ(p.LineYhl[1]->y2(), 5850);
    EXPECT_EQ(p.LineY[10]->y1(), 4950);
    EXPECT_EQ(p.LineX[19]->x2(), 8550);
    EXPECT_FALSE(p.LineX[19]->isHidden());
    EXPECT_EQ(p.Shape1[3]->fillColor(), QColor(0, 255, 0));
    EXPECT_EQ(p.Shape1[10]->fillColor(), QColor(255, 0, 0));
}

TEST_F(TrendPlotTest, RunRedrawDrawsTheSlotsFilledSoFar) {
    p.PicScope->drawSegment(1, 1, 2, 2, Qt::white);
    plot.RunRedraw(1, RunMode::ScanCard);
    EXPECT_TRUE(p.PicScope->segments().empty());
    EXPECT_EQ(p.LabX1[0]->text(), "0.1");

    plot.RunRedraw(2, RunMode::ScanCard);
    ASSERT_EQ(p.PicScope->segments().size(), 11u);  // ten channels and math
    const PlotSurface::Segment ch1 = p.PicScope->segments().front();
    EXPECT_EQ(std::vector<float>({ch1.x1, ch1.y1, ch1.x2, ch1.y2}),
              std::vector<float>({0, 1011, 90, 1021}));
    EXPECT_EQ(ch1.color, QColor(255, 60, 0));

    p.ChkCH[2]->setChecked(false);
    plot.RunRedraw(3, RunMode::ScanCard);
    EXPECT_EQ(drawnIn(QColor(255, 180, 0)), 0);
    EXPECT_EQ(p.PicScope->segments().size(), 20u);
    plot.RunRedraw(3, RunMode::MainUnit);
    EXPECT_EQ(p.PicScope->segments().size(), 2u);
}

TEST_F(TrendPlotTest, ReviewDrawsTheWholeScreenForRowsInUse) {
    for (std::size_t i = 0; i < p.FrameCH.size(); ++i) {
        p.FrameCH[i]->setVisible(i > 0 && i < 3);  // CH1 is drawn whatever its frame
    }
    plot.DrawTraces(100, TraceMode::Review, 0);
    EXPECT_EQ(p.PicScope->segments().size(), 300u);  // no math: its set-up is empty
    for (int k = 0; k <= 10; ++k) {
        EXPECT_EQ(p.LabX1[static_cast<std::size_t>(k)]->text(), QString::number(k + 0.1)) << k;
    }
    p.Cbo1[0]->setEditText("CH1");
    p.Cbo1[1]->setEditText("CH2");
    p.Cbo2->setEditText(QString::fromUtf8("加"));
    p.PicScope->clear();
    plot.DrawTraces(100, TraceMode::Review, 0);
    EXPECT_EQ(drawnIn(QColor(255, 0, 0)), 100);
}

TEST_F(TrendPlotTest, AMissingReadingIsAGapInItsOwnTraceAndAPointNotTakenInAll) {
    store.setValue(10003, 2, RecordStore::kNoReading);  // CH2 brought nothing at slot 3
    store.clearRow(10051);                              // slot 51: no point
    plot.RunRedraw(101, RunMode::ScanCard);
    EXPECT_EQ(drawnIn(QColor(255, 120, 0)), 96);  // CH2: 100 less 2 at slot 3, 2 at 51
    EXPECT_EQ(drawnIn(QColor(255, 60, 0)), 98);
    EXPECT_EQ(drawnIn(QColor(255, 0, 0)), 98);  // math
    EXPECT_EQ(p.LabX1[5]->text(), kNoTimeText);
    EXPECT_EQ(p.LabX1[6]->text(), "6.1");
}

// The centre line rests on the top edge after start-up; an overload drawn
// there must still show.
TEST_F(TrendPlotTest, AnOverloadOnTheTopEdgeShowsUnderTheBorderLine) {
    p.LineY0->setY(0, 0);
    for (int s = 1; s <= 3; ++s) {
        store.setPlotY(10000 + s, 1, 0);
    }
    plot.RunRedraw(3, RunMode::ScanCard);
    form.resize(1016, 638);
    const QImage picture = p.PicScope->grab().toImage();
    EXPECT_EQ(picture.pixelColor(6, 0), QColor(128, 128, 128));
    EXPECT_EQ(picture.pixelColor(6, 1), QColor(255, 60, 0));
}

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
  public:
    int paints = 0;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

TEST_F(TrendPlotTest, AShownPlotIsPaintedWhenTheRedrawIsWhole) {
    form.resize(1016, 638);
    form.show();
    QCoreApplication::processEvents();
    PaintCounter counter;
    p.PicScope->installEventFilter(&counter);
    clock.setYieldHook([] { QCoreApplication::processEvents(); });
    // A segment drawn outside a redraw is painted at the next yield ...
    p.PicScope->drawSegment(0, 0, 9000, 5400, Qt::white);
    clock.yield();
    ASSERT_GT(counter.paints, 0);
    // ... but a redraw, which yields twice per slot, only when whole.
    counter.paints = 0;
    plot.RunRedraw(150, RunMode::ScanCard);
    EXPECT_EQ(counter.paints, 0);
    QCoreApplication::processEvents();
    EXPECT_GT(counter.paints, 0);
    p.PicScope->removeEventFilter(&counter);
}

}  // namespace
}  // namespace tq
