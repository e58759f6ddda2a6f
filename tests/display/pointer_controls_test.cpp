#include "display/pointer_controls.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "common/virtual_clock.h"
#include "panel/panel.h"
#include "panel/widget_app.h"
#include "rules/reading.h"
#include "rules/scale.h"
#include "store/record_store.h"
#include "support/plot_parts.h"

namespace tq {
namespace {

// Row r holds "point" r - 9901 in every column: where a 200-point run with
// 100 points per screen leaves its points (100 .. 200 in slots 1 .. 101),
// with older points below.
double pattern(int row, int column) {
    return (row - 9901) * 100.0 + column;
}

class PointerControlsTest : public ::testing::Test, protected test::PlotParts {
  protected:
    PointerControlsTest() {
        buildPanel(&form, p);
        pointer.connectEvents();
        for (std::size_t k = 0; k < 10; ++k) {
            p.FrameCH[k]->setVisible(k < 3);
        }
        p.ChkPoint->setChecked(true);
        for (int r = 1; r <= RecordStore::kLastRow; ++r) {
            for (int c = 1; c <= 11; ++c) {
                store.setValue(r, c, pattern(r, c));
                store.setPlotY(r, c, r % 5400);
            }
            store.setTime(r, (r - 9901) * 0.5);
        }
        p.TxtPoint1->setText("200");
        for (std::size_t k = 0; k < 11; ++k) {
            p.LabX[k]->setText(QString::number(100 + 10 * k));
        }
        pointer.onRunEnd();
    }
    std::string text(const QLineEdit* box) const { return box->text().toStdString(); }

    PointerControls pointer{p, clock, scale, store, plot};
};

TEST_F(PointerControlsTest, WaveformMoveSlidesTheRecordBackAndReadsTheCursorSlot) {
    store.setValue(10049, 3, kOverloadReading);
    store.setValue(10049, 2, RecordStore::kNoReading);
    p.CmdMove1[1]->click();  // "波形左移" at the newest point
    EXPECT_EQ(text(p.TxtPoint1), "200");
    EXPECT_EQ(store.value(10001, 1), pattern(10001, 1));

    p.CmdMove1[0]->click();  // "波形右移"
    EXPECT_EQ(text(p.TxtPoint1), "199");
    EXPECT_EQ(p.ChkPoint1->text(), "Set Point");
    for (int r = 2; r <= RecordStore::kLastRow; r += 7) {
        ASSERT_EQ(store.value(r, 11), pattern(r - 1, 11)) << r;
        ASSERT_EQ(store.plotY(r, 1), (r - 1) % 5400) << r;
        ASSERT_EQ(store.time(r), (r - 1 - 9901) * 0.5) << r;
    }
    EXPECT_EQ(p.LabX[0]->text(), "99");
    EXPECT_EQ(p.LabX[10]->text(), "199");
    EXPECT_EQ(pointer.CursorSlot, 50);
    EXPECT_EQ(text(p.TxtDshow[0]), "14801");  // slot 50 now holds point 148
    EXPECT_EQ(text(p.TxtDshow[2]), "9.9E+37");
    EXPECT_EQ(p.TxtDshow[2]->palette().color(QPalette::Base), QColor(255, 0, 0));
    EXPECT_EQ(text(p.TxtDshow[1]), "");  // no reading: empty, never "0"
    EXPECT_EQ(p.TxtDshow[1]->palette().color(QPalette::Base), QColor(255, 255, 255));
    EXPECT_EQ(twipsGeometry(p.Shape2).topLeft(), QPoint(49 * 90 - 65, 10049 % 5400 - 68));
    // Three rows in use, no math; CH2 has a gap at slot 50.
    EXPECT_EQ(p.PicScope->segments().size(), 298U);

    for (int i = 1; i < 100; ++i) {
        p.CmdMove1[0]->click();
    }
    EXPECT_EQ(text(p.TxtPoint1), "101");
    EXPECT_EQ(p.LabX[0]->text(), "1");
    EXPECT_EQ(store.value(10001, 2), pattern(9902, 2));  // point 1 in slot 1
    EXPECT_EQ(pointer.CursorSlot, 50);
}

// A reading below the plot (a negative one) keeps the marker in sight.
TEST_F(PointerControlsTest, MarkerOnAReadingBelowThePlotSitsOnTheBottomEdge) {
    store.setPlotY(10010, 1, 7200);
    pointer.PlaceMarker(10, 0, PointerControls::MarkerMode::Review);
    EXPECT_EQ(twipsGeometry(p.Shape2).topLeft(), QPoint(9 * 90 - 65, 5400 - 68));
}

TEST_F(PointerControlsTest, SlotSteppersStopAtTheScreenEdges) {
    p.ChkPoint1->setChecked(false);
    p.TxtPoint->setText("101");
    p.CmdMove[1]->click();
    EXPECT_EQ(text(p.TxtPoint), "101");
    p.CmdMove[0]->click();
    EXPECT_EQ(text(p.TxtPoint), "100");
    p.TxtPoint->setText("1");
    p.CmdMove[0]->click();
    EXPECT_EQ(text(p.TxtPoint), "1");
    p.CmdMove[1]->click();
    EXPECT_EQ(text(p.TxtPoint), "2");

    // The marker keeps its slot; a slot outside the store leaves it put.
    pointer.runPointer(100, RunMode::ScanCard);
    EXPECT_EQ(text(p.TxtPointValue), "10101");
    p.TxtPoint->setText("10002");
    pointer.runPointer(100, RunMode::ScanCard);
    EXPECT_EQ(text(p.TxtPointValue), "10101");
}

// A click on a review command while a review redraw yields is dropped.
TEST_F(PointerControlsTest, ReviewCommandsIgnoreClicksDuringTheirRedraw) {
    p.CmdMove1[0]->click();
    clock.setYieldHook([&] {
        p.CmdMove2[1]->click();
        p.CmdMove1[0]->click();
    });
    p.CmdMove2[1]->click();
    EXPECT_EQ(pointer.CursorSlot, 51);
    EXPECT_EQ(text(p.TxtPoint1), "199");
    EXPECT_EQ(p.PicScope->segments().size(), 300U);
}

TEST_F(PointerControlsTest, ChannelSelectorSkipsHiddenRowsAndWraps) {
    for (const auto [visible, from, down, up] : {std::array{5, 4, 0, 4}, std::array{9, 8, 0, 8}}) {
        for (std::size_t k = 0; k < 10; ++k) {
            p.FrameCH[k]->setVisible(static_cast<int>(k) < visible);
        }
        pointer.PointerChannel = static_cast<std::int16_t>(from);
        p.CmdUD[1]->click();
        EXPECT_EQ(pointer.PointerChannel, down);
        p.CmdUD[0]->click();
        EXPECT_EQ(pointer.PointerChannel, up);
        EXPECT_EQ(p.FrameCH[up]->palette().color(QPalette::Window), QColor(128, 128, 128));
        EXPECT_EQ(p.FrameCH[0]->palette().color(QPalette::Window), QColor(224, 224, 224));
    }
}

TEST_F(PointerControlsTest, ReferenceLineMovesByHalfADivision) {
    p.LineX0->setX(0, 0);
    for (int i = 0; i < 3; ++i) {
        p.Command5[1]->click();
    }
    EXPECT_EQ(p.LineX0->x1(), 1350);
    EXPECT_EQ(p.LineX0->x2(), 1350);
}

}  // namespace
}  // namespace tq
