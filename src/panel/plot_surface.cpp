#include <QPaintDevice>
#include <QPainter>
#include <QtMath>
#include <algorithm>
#include <vector>

#include "panel/controls.h"
#include "panel/trace_raster.h"

namespace tq {

namespace {

// Twips to device pixels, computed as the painter would: pixels first, then
// the device's ratio.
double toDevice(float twips, qreal ratio) {
    return static_cast<double>(twips) / kTwipsPerPixel * ratio;
}

// The order in which the segments are painted: grouped by colour, the
// colours in the order they first came, so that later traces lie over
// earlier ones as with one drawing call per colour. colourOf gets each
// segment's colour.
void groupByColour(const std::vector<PlotSurface::Segment>& segments,
                   std::vector<std::size_t>& order, std::vector<QRgb>& colourOf) {
    std::vector<QRgb> colours;
    std::vector<std::size_t> counts;
    std::vector<std::size_t> batchOf(segments.size());
    colourOf.resize(segments.size());
    for (std::size_t i = 0; i < segments.size(); ++i) {
        colourOf[i] = segments[i].color.rgba();
        const auto known = std::find(colours.begin(), colours.end(), colourOf[i]);
        batchOf[i] = static_cast<std::size_t>(known - colours.begin());
        if (known == colours.end()) {
            colours.push_back(colourOf[i]);
            counts.push_back(0);
        }
        ++counts[batchOf[i]];
    }
    // A counting sort: where each colour's run of segments begins.
    std::vector<std::size_t> next(counts.size(), 0);
    for (std::size_t b = 1; b < counts.size(); ++b) {
        next[b] = next[b - 1] + counts[b - 1];
    }
    order.resize(segments.size());
    for (std::size_t i = 0; i < segments.size(); ++i) {
        order[next[batchOf[i]]++] = i;
    }
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
    groupByColour(segments_, paintOrder_, colourOf_);
    // Drawn at the device's own resolution, as the painter would draw them.
    const QPaintDevice& device = *painter.device();
    const qreal ratio = device.devicePixelRatio();
    const QSize pixels(qCeil(device.width() * ratio), qCeil(device.height() * ratio));
    if (traces_.size() != pixels) {
        traces_ = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
    }
    traces_.setDevicePixelRatio(ratio);
    traces_.fill(Qt::transparent);
    TraceRaster raster(traces_);
    for (const std::size_t i : paintOrder_) {
        const Segment& s = segments_[i];
        raster.drawLine(toDevice(s.x1, ratio), toDevice(s.y1, ratio), toDevice(s.x2, ratio),
                        toDevice(s.y2, ratio), colourOf_[i]);
    }
    painter.drawImage(QPointF(0, 0), traces_);
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
