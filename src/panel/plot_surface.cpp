#include <QPaintDevice>
#include <QPainter>
#include <QtMath>
#include <algorithm>
#include <vector>

#include "panel/plot_surface.h"
#include "panel/trace_raster.h"
#include "panel/twips.h"

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

}  // namespace tq
