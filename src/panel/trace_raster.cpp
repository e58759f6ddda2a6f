#include "panel/trace_raster.h"

#include <QPointF>
#include <cmath>
#include <cstdint>
#include <utility>

namespace tq {
namespace {

// 26.6 fixed point, cut toward zero as the painter cuts it.
int fixed26(double v) {
    return static_cast<int>(v * 64.);
}

// A slope in 16.16 fixed point, cut toward zero.
int slope16(int rise, int run) {
    return static_cast<int>(static_cast<std::int64_t>(rise) * 65536 / run);
}

}  // namespace

TraceRaster::TraceRaster(QImage& image)
    : pixels_(reinterpret_cast<QRgb*>(image.bits())),
      pixelsPerLine_(image.bytesPerLine() / static_cast<qsizetype>(sizeof(QRgb))),
      width_(image.width()),
      height_(image.height()) {}

void TraceRaster::plot(int x, int y, QRgb colour) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        return;
    }
    pixels_[y * pixelsPerLine_ + x] = colour;
}

bool TraceRaster::clip(double& x1, double& y1, double& x2, double& y2) const {
    if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2)) {
        return false;
    }
    const double left = -1;
    const double right = width_ + 1;
    const double top = -1;
    const double bottom = height_ + 1;
    // The order of these steps, and which end moves first, decide the
    // rounding of the cut ends.
    if (x1 < left) {
        if (x2 <= left) {
            return false;
        }
        y1 += (y2 - y1) / (x2 - x1) * (left - x1);
        x1 = left;
    } else if (x1 > right) {
        if (x2 >= right) {
            return false;
        }
        y1 += (y2 - y1) / (x2 - x1) * (right - x1);
        x1 = right;
    }
    if (x2 < left) {
        y2 += (y2 - y1) / (x2 - x1) * (left - x2);
        x2 = left;
    } else if (x2 > right) {
        y2 += (y2 - y1) / (x2 - x1) * (right - x2);
        x2 = right;
    }
    if (y1 < top) {
        if (y2 <= top) {
            return false;
        }
        x1 += (x2 - x1) / (y2 - y1) * (top - y1);
        y1 = top;
    } else if (y1 > bottom) {
        if (y2 >= bottom) {
            return false;
        }
        x1 += (x2 - x1) / (y2 - y1) * (bottom - y1);
        y1 = bottom;
    }
    if (y2 < top) {
        x2 += (x2 - x1) / (y2 - y1) * (top - y2);
        y2 = top;
    } else if (y2 > bottom) {
        x2 += (x2 - x1) / (y2 - y1) * (bottom - y2);
        y2 = bottom;
    }
    return true;
}

void TraceRaster::walk(int a1, int b1, int a2, int b2, bool steep, QRgb colour) {
    if (a1 > a2) {
        std::swap(a1, a2);
        std::swap(b1, b2);
    }
    const int step = slope16(b2 - b1, a2 - a1);
    // Square caps: half a pixel more at each end of the major axis.
    int b = b1 * 1024 - (step >> 1);
    a1 -= 32;
    a2 += 32;
    int a = (a1 + 32) >> 6;
    const int end = (a2 + 32) >> 6;
    if (a == end) {
        return;
    }
    const int round = step > 0 ? 32 : 0;
    b += (a * 64 + round - a1) * step >> 6;
    for (; a < end; ++a, b += step) {
        if (steep) {
            plot(b >> 16, a, colour);
        } else {
            plot(a, b >> 16, colour);
        }
    }
}

void TraceRaster::drawLine(double x1, double y1, double x2, double y2, QRgb colour) {
    colour |= 0xFF000000u;
    // QPointF compares fuzzily; so does the painter when it decides that a
    // line is a point.
    if (QPointF(x1, y1) == QPointF(x2, y2)) {
        plot(qRound(x1), qRound(y1), colour);
        return;
    }
    if (!clip(x1, y1, x2, y2)) {
        return;
    }
    const int fx1 = fixed26(x1);
    const int fy1 = fixed26(y1);
    const int fx2 = fixed26(x2);
    const int fy2 = fixed26(y2);
    const int dx = std::abs(fx2 - fx1);
    const int dy = std::abs(fy2 - fy1);
    if (dx < dy) {
        walk(fy1, fx1, fy2, fx2, true, colour);
    } else if (dx != 0) {
        walk(fx1, fy1, fx2, fy2, false, colour);
    }
}

}  // namespace tq
