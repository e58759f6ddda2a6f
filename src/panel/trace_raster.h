#pragma once

#include <QImage>
#include <QRgb>
#include <QtGlobal>

namespace tq {

// Draws the trend plot's traces straight into an image: one-pixel lines,
// opaque, with exactly the pixels QPainter sets for a cosmetic solid pen
// with square caps and no antialiasing. A full screen is 11000 short
// segments; through QPainter each one pays a transform, a float clip and a
// span flush, which costs more than its one or two pixels.
//
// Coordinates are the image's own pixels (no transform). The image must be
// Format_RGB32 or Format_ARGB32_Premultiplied.
class TraceRaster {
  public:
    explicit TraceRaster(QImage& image);

    void drawLine(double x1, double y1, double x2, double y2, QRgb colour);

  private:
    // The painter's rough clip: a line is cut where it leaves the image by
    // more than a pixel (where it is cut moves its pixels, so the same
    // bounds must be used). False when nothing of it is left.
    bool clip(double& x1, double& y1, double& x2, double& y2) const;
    // Walks the major axis one pixel at a time; the minor coordinate is
    // 16.16 fixed point, the ends 26.6 as the painter keeps them.
    void walk(int a1, int b1, int a2, int b2, bool steep, QRgb colour);
    void plot(int x, int y, QRgb colour);

    QRgb* pixels_;
    qsizetype pixelsPerLine_;
    int width_;
    int height_;
};

}  // namespace tq
