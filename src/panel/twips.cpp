#include "panel/twips.h"

#include <QVariant>
#include <cmath>

namespace tq {

namespace {

// The twips rectangle a widget was last placed at; kept beside the pixel
// geometry because most design positions are not whole pixels apart.
constexpr const char* kTwipsProperty = "tqTwipsGeometry";

QRect toPixels(const QRect& twips) {
    return {twipsToPixels(twips.x()), twipsToPixels(twips.y()), twipsToPixels(twips.width()),
            twipsToPixels(twips.height())};
}

}  // namespace

int twipsToPixels(int twips) {
    return static_cast<int>(std::lround(static_cast<double>(twips) / kTwipsPerPixel));
}

int pixelsToTwips(int pixels) {
    return pixels * kTwipsPerPixel;
}

void setTwipsGeometry(QWidget* w, int left, int top, int width, int height) {
    const QRect twips(left, top, width, height);
    w->setProperty(kTwipsProperty, twips);
    w->setGeometry(toPixels(twips));
}

void moveTwips(QWidget* w, int left, int top) {
    const QRect current = twipsGeometry(w);
    setTwipsGeometry(w, left, top, current.width(), current.height());
}

QRect twipsGeometry(const QWidget* w) {
    const QVariant stored = w->property(kTwipsProperty);
    if (stored.isValid()) {
        const QRect twips = stored.toRect();
        if (toPixels(twips) == w->geometry()) {
            return twips;
        }
    }
    const QRect px = w->geometry();
    return {pixelsToTwips(px.x()), pixelsToTwips(px.y()), pixelsToTwips(px.width()),
            pixelsToTwips(px.height())};
}

}  // namespace tq
