#include "panel/line.h"

#include <QPainter>
#include <algorithm>

#include "panel/twips.h"

namespace tq {

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
