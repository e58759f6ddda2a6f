#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>
#include <array>
#include <functional>
#include <memory>

#include "common/virtual_clock.h"
#include "line_painter_reference.h"
#include "panel/controls.h"
#include "widget_app.h"

namespace tq {
namespace {

class ControlsTest : public ::testing::Test {
  protected:
    void SetUp() override { test::widgetApp(); }
};

int countPixels(const QImage& image, const std::function<bool(QColor)>& match) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            n += match(image.pixelColor(x, y)) ? 1 : 0;
        }
    }
    return n;
}

TEST_F(ControlsTest, TwipsGeometryKeepsPositionsThatAreNoWholePixel) {
    EXPECT_EQ(twipsToPixels(15), 1);
    EXPECT_EQ(twipsToPixels(7), 0);
    EXPECT_EQ(twipsToPixels(8), 1);
    EXPECT_EQ(twipsToPixels(-3060), -204);
    EXPECT_EQ(pixelsToTwips(-204), -3060);

    QWidget parent;
    QWidget child(&parent);
    setTwipsGeometry(&child, 1810, -3060, 750, 225);
    EXPECT_EQ(child.geometry(), QRect(121, -204, 50, 15));
    EXPECT_EQ(twipsGeometry(&child), QRect(1810, -3060, 750, 225));

    moveTwips(&child, 8820, 0);
    EXPECT_EQ(twipsGeometry(&child), QRect(8820, 0, 750, 225));

    // Moved behind the twips helpers' back: the pixels are the truth.
    child.move(10, 20);
    EXPECT_EQ(twipsGeometry(&child), QRect(150, 300, 750, 225));
}

TEST_F(ControlsTest, LineCoversItsBoundingBoxAndKeepsEndPoints) {
    QWidget plot;
    Line line(&plot);
    line.setPoints(0, 450, 9000, 450);
    EXPECT_EQ(line.geometry(), QRect(0, 30, 601, 1));
    line.setY(900, 900);
    EXPECT_EQ(line.y1(), 900);
    EXPECT_EQ(line.x2(), 9000);
    EXPECT_EQ(line.geometry(), QRect(0, 60, 601, 1));
    line.setPoints(4500, 5400, 4500, 0);
    EXPECT_EQ(line.geometry(), QRect(300, 0, 1, 361));
    line.setX(-450, -450);
    EXPECT_EQ(line.geometry().x(), -30);
}

// Segments are kept in twips and painted at 15 twips per pixel; a clear
// removes them but leaves the overlay lines standing.
TEST_F(ControlsTest, PlotSurfacePaintsSegmentsUnderItsOverlayLines) {
    PlotSurface plot;
    plot.resize(600, 360);
    Line grid(&plot);
    grid.setColor(QColor(192, 192, 192));
    grid.setDashed(true);
    grid.setPoints(0, 450, 9000, 450);

    plot.drawSegment(0, 1500, 9000, 1500, Qt::red);
    plot.drawSegment(4500, 0, 4500, 5400, Qt::green);
    ASSERT_EQ(plot.segments().size(), 2u);
    EXPECT_FLOAT_EQ(plot.segments()[0].y1, 1500.0f);

    const QImage drawn = plot.grab().toImage();
    EXPECT_EQ(drawn.pixelColor(10, 100), QColor(Qt::red));
    EXPECT_EQ(drawn.pixelColor(300, 10), QColor(Qt::green));
    EXPECT_EQ(drawn.pixelColor(10, 50), QColor(Qt::black));
    const auto gridGrey = [](QColor c) { return c == QColor(192, 192, 192); };
    const int dashes = countPixels(drawn.copy(0, 30, 600, 1), gridGrey);
    EXPECT_GT(dashes, 150);
    EXPECT_LT(dashes, 550);  // dashed, not solid

    plot.clear();
    EXPECT_TRUE(plot.segments().empty());
    const QImage cleared = plot.grab().toImage();
    EXPECT_EQ(cleared.pixelColor(10, 100), QColor(Qt::black));
    EXPECT_EQ(countPixels(cleared.copy(0, 30, 600, 1), gridGrey), dashes);
}

// The plot draws its own lines; they must set exactly the pixels QPainter
// would: every slope and direction, sub-pixel and zero-length segments, ends
// off the surface (cut where they leave it), colours crossing each other.
TEST_F(ControlsTest, PlotSurfacePaintsTheLinesQPainterWould) {
    PlotSurface plot;
    plot.resize(600, 360);
    QRandomGenerator random(4700);
    const std::array<QColor, 4> colours = {QColor(255, 60, 0), QColor(0, 255, 0),
                                           QColor(0, 80, 255), QColor(255, 0, 0)};
    const auto twips = [&](int low, int high) {
        return static_cast<float>(random.bounded(low, high));
    };
    for (int i = 0; i < 4000; ++i) {
        const QColor& c = colours[static_cast<std::size_t>(i % 4)];
        switch (i % 5) {
            case 0:  // anywhere, far off the surface too
                plot.drawSegment(twips(-3000, 12000), twips(-3000, 9000), twips(-3000, 12000),
                                 twips(-3000, 9000), c);
                break;
            case 1: {  // a trace at 1000 points per screen: 9 twips a slot
                const float x = twips(0, 1000) * 9;
                plot.drawSegment(x, twips(0, 5400), x + 9, twips(0, 5400), c);
                break;
            }
            case 2: {  // nearly flat, nearly steep
                const float x = twips(0, 9000);
                const float y = twips(0, 5400);
                plot.drawSegment(x, y, x + twips(-40, 40), y + twips(-40, 40), c);
                break;
            }
            case 3: {  // a point
                const float x = twips(-20, 9020);
                const float y = twips(-20, 5420);
                plot.drawSegment(x, y, x, y, c);
                break;
            }
            default:  // exact pixel edges
                plot.drawSegment(twips(0, 600) * 15, twips(0, 360) * 15, twips(0, 600) * 15,
                                 twips(0, 360) * 15, c);
        }
    }
    QPoint first;
    EXPECT_EQ(
        test::differingPixels(test::paintedByPlot(plot), test::paintedByQPainter(plot), &first), 0)
        << "first at " << first.x() << "," << first.y();
}

TEST_F(ControlsTest, PictureCheckBoxShowsTheFaceOfItsState) {
    const QColor yellow(255, 255, 0);
    PictureCheckBox mode;
    mode.resize(77, 33);
    mode.setFaces({.text = "A", .textColor = Qt::blue, .background = yellow},
                  {.text = "B", .textColor = Qt::blue, .background = Qt::cyan}, true);
    const auto isYellow = [&](QColor c) { return c == yellow; };
    const auto isCyan = [](QColor c) { return c == QColor(Qt::cyan); };

    EXPECT_GT(countPixels(mode.grab().toImage(), isYellow), 1000);
    QTest::mouseClick(&mode, Qt::LeftButton);
    EXPECT_TRUE(mode.isChecked());
    EXPECT_GT(countPixels(mode.grab().toImage(), isCyan), 1000);
    EXPECT_EQ(countPixels(mode.grab().toImage(), isYellow), 0);

    mode.setEnabled(false);  // blank when disabled
    const QImage blank = mode.grab().toImage();
    EXPECT_EQ(countPixels(blank, isYellow) + countPixels(blank, isCyan), 0);

    // The run toggle shows its unchecked word when disabled, checked or not.
    PictureCheckBox run;
    run.resize(63, 33);
    run.setFaces({.text = "S", .textColor = Qt::red, .background = yellow},
                 {.text = "T", .textColor = Qt::red, .background = Qt::cyan}, false);
    run.setChecked(true);
    run.setEnabled(false);
    EXPECT_GT(countPixels(run.grab().toImage(), isYellow), 1000);
}

TEST_F(ControlsTest, FramesAndLabelsReportClicksInsideThemOnly) {
    Frame frame;
    frame.resize(100, 50);
    Label label(&frame);
    label.setGeometry(10, 10, 30, 20);
    QSignalSpy frameClicks(&frame, &Frame::clicked);
    QSignalSpy labelClicks(&label, &Label::clicked);

    QTest::mouseClick(&frame, Qt::LeftButton, {}, QPoint(80, 40));
    QTest::mouseClick(&label, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseClick(&label, Qt::RightButton, {}, QPoint(5, 5));
    QTest::mousePress(&label, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(&label, Qt::LeftButton, {}, QPoint(50, 5));  // dragged off
    EXPECT_EQ(frameClicks.count(), 1);
    EXPECT_EQ(labelClicks.count(), 1);
}

TEST_F(ControlsTest, TimerFiresEveryIntervalWhileEnabled) {
    VirtualClock clock;
    auto timer = std::make_unique<Timer>();
    QSignalSpy fired(timer.get(), &Timer::timer);

    timer->setInterval(4000);
    timer->setEnabled(true);  // no clock yet: nothing to run on
    timer->setClock(&clock);
    clock.advance(3999);
    EXPECT_EQ(fired.count(), 0);
    clock.advance(1);
    EXPECT_EQ(fired.count(), 1);
    clock.advance(8000);
    EXPECT_EQ(fired.count(), 3);

    // A new interval restarts the count.
    clock.advance(3000);
    timer->setInterval(4000);
    clock.advance(3000);
    EXPECT_EQ(fired.count(), 3);
    clock.advance(1000);
    EXPECT_EQ(fired.count(), 4);

    // A handler that disables the timer ends the firing.
    QObject::connect(timer.get(), &Timer::timer, timer.get(), [&] { timer->setEnabled(false); });
    clock.advance(4000);
    EXPECT_EQ(fired.count(), 5);
    clock.advance(20000);
    EXPECT_EQ(fired.count(), 5);
    EXPECT_FALSE(clock.hasPendingTimers());

    timer->setInterval(0);
    timer->setEnabled(true);  // a zero interval never fires
    EXPECT_FALSE(clock.hasPendingTimers());
    timer->setInterval(100);
    EXPECT_TRUE(clock.hasPendingTimers());
    timer.reset();
    EXPECT_FALSE(clock.hasPendingTimers());
}

}  // namespace
}  // namespace tq
