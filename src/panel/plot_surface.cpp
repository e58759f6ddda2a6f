#include <QPainter>
#include <QLineF>
#include <QVector>
#include <algorithm>
#include <iterator>
#include <vector>

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
    // One drawLines call per colour: a full screen holds 11000 segments and
    // a pen change per segment costs more than the lines themselves. Traces
    // keep their stacking order (later channels over earlier ones).
    std::vector<std::pair<QRgb, QVector<QLineF>>> batches;
    for (const Segment& s : segments_) {
        const QRgb rgb = s.color.rgba();
        auto batch = std::find_if(batches.begin(), batches.end(),
                                  [rgb](const auto& b) { return b.first == rgb; });
        if (batch == batches.end()) {
            batches.emplace_back(rgb, QVector<QLineF>{});
            batch = std::prev(batches.end());
        }
        batch->second.append(QLineF(toPixels(s.x1, s.y1), toPixels(s.x2, s.y2)));
    }
    QPen pen;
    pen.setWidth(0);  // cosmetic: one pixel whatever the painter's scale
    for (const auto& [rgb, lines] : batches) {
        pen.setColor(QColor::fromRgba(rgb));
        painter.setPen(pen);
        painter.drawLines(lines);
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
