#pragma once

#include <QImage>
#include <QLineF>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <utility>
#include <vector>

#include "panel/controls.h"

namespace tq::test {

// The plot's traces as QPainter draws them, one drawLines call per colour
// in the order the colours first come (how the plot painted them before it
// drew its own lines): the picture the plot's paint must give, pixel for
// pixel.
inline QImage paintedByQPainter(const PlotSurface& plot) {
    std::vector<std::pair<QRgb, std::vector<QLineF>>> batches;
    for (const PlotSurface::Segment& s : plot.segments()) {
        const QRgb rgb = s.color.rgba();
        auto batch = std::find_if(batches.begin(), batches.end(),
                                  [rgb](const auto& b) { return b.first == rgb; });
        if (batch == batches.end()) {
            batch = batches.insert(batches.end(), {rgb, {}});
        }
        batch->second.emplace_back(s.x1 / double{kTwipsPerPixel}, s.y1 / double{kTwipsPerPixel},
                                   s.x2 / double{kTwipsPerPixel}, s.y2 / double{kTwipsPerPixel});
    }
    QImage image(plot.size(), QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    QPen pen;
    pen.setWidth(0);
    for (const auto& [rgb, lines] : batches) {
        pen.setColor(QColor::fromRgba(rgb));
        painter.setPen(pen);
        painter.drawLines(lines.data(), static_cast<int>(lines.size()));
    }
    return image;
}

// The same traces through the plot's own paint.
inline QImage paintedByPlot(const PlotSurface& plot) {
    QImage image(plot.size(), QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    plot.paintSegments(painter);
    return image;
}

// Pixels that differ, for a failure message that says where.
inline int differingPixels(const QImage& a, const QImage& b, QPoint* first = nullptr) {
    int count = 0;
    for (int y = 0; y < std::min(a.height(), b.height()); ++y) {
        for (int x = 0; x < std::min(a.width(), b.width()); ++x) {
            if (a.pixel(x, y) != b.pixel(x, y)) {
                if (count++ == 0 && first != nullptr) {
                    *first = QPoint(x, y);
                }
            }
        }
    }
    return count;
}

}  // namespace tq::test
