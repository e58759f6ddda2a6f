#include <QPainter>
#include <algorithm>

#include "panel/controls.h"

namespace tq {

namespace {

QPointF toPixels(float x, float y) {
    return {static_cast<double>(x) / kTwipsPerPixel, static_cast<double>(y) / kTwipsPerPixel};
}

}  // namespace

// ---------------------------------------------------------------- PlotSurface

PlotSurface::PlotSurface(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(true);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
}

void PlotSurface::clear() {
    segments_.clear();
    update();
}

void PlotSurface::drawSegment(float x1, float y1, float x2, float y2, const QColor& color) {
    segments_.push_back({.x1 = x1, .y1 = y1, .x2 = x2, .y2 = y2, .color = color});
    update();
}

void PlotSurface::paintSegments(QPainter& painter) const {
    QPen pen;
    pen.setWidth(0);  // cosmetic: one pixel whatever the painter's scale
    for (const Segment& s : segments_) {
        pen.setColor(s.color);
        painter.setPen(pen);
        painter.drawLine(toPixels(s.x1, s.y1), toPixels(s.x2, s.y2));
    }
}

void PlotSurface::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    paintSegments(painter);
}

// ---------------------------------------------------------------- Line

Line::Line(QWidget* parent) : QWidget(parent) {
    // The grid lies over the plot; clicks belong to the plot.
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void Line::setPoints(int x1, int y1, int x2, int y2) {
    x1_ = x1;
    y1_ = y1;
    x2_ = x2;
    y2_ = y2;
    // The widget covers the bounding box, at least one pixel across so a
    // horizontal or vertical line has somewhere to paint.
    const int left = twipsToPixels(std::min(x1, x2));
    const int top = twipsToPixels(std::min(y1, y2));
    const int right = twipsToPixels(std::max(x1, x2));
    const int bottom = twipsToPixels(std::max(y1, y2));
    setGeometry(left, top, right - left + 1, bottom - top + 1);
    update();
}

void Line::setColor(const QColor& color) {
    color_ = color;
    update();
}

void Line::setDashed(bool dashed) {
    dashed_ = dashed;
    update();
}

void Line::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    QPen pen(color_);
    pen.setWidth(0);
    pen.setStyle(dashed_ ? Qt::DashLine : Qt::SolidLine);
    painter.setPen(pen);
    const QPoint origin = geometry().topLeft();
    const QPoint from(twipsToPixels(x1_) - origin.x(), twipsToPixels(y1_) - origin.y());
    const QPoint to(twipsToPixels(x2_) - origin.x(), twipsToPixels(y2_) - origin.y());
    painter.drawLine(from, to);
}

}  // namespace tq
