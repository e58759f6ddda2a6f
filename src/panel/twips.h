#pragma once

#include <QRect>
#include <QWidget>

namespace tq {

// Geometry is kept in twips and shown at 15 twips per pixel (96 dpi); Qt
// scales on high-dpi screens.
constexpr int kTwipsPerPixel = 15;
int twipsToPixels(int twips);
int pixelsToTwips(int pixels);
// Places w at (left, top) with (width, height), all in twips.
void setTwipsGeometry(QWidget* w, int left, int top, int width, int height);
// Moves w keeping its size; left and top in twips.
void moveTwips(QWidget* w, int left, int top);
// The geometry last set in twips, as long as the widget still sits where
// that put it; otherwise its pixel geometry converted to twips.
QRect twipsGeometry(const QWidget* w);

}  // namespace tq
