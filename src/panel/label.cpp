#include "panel/label.h"

#include <QFontMetricsF>
#include <QPainter>

#include "panel/click.h"

namespace tq {

Label::Label(QWidget* parent) : QLabel(parent) {}

void Label::setShrinkToFit(bool on) {
    shrinkToFit_ = on;
    update();
}

void Label::paintEvent(QPaintEvent* event) {
    const QRect room = contentsRect();
    QFont f = font();
    const qreal needed = QFontMetricsF(f).horizontalAdvance(text());
    if (!shrinkToFit_ || needed <= room.width() || needed <= 0 || f.pointSizeF() <= 0) {
        QLabel::paintEvent(event);
        return;
    }
    f.setPointSizeF(f.pointSizeF() * room.width() / needed * 0.97);
    QPainter painter(this);
    painter.setFont(f);
    painter.setPen(palette().color(foregroundRole()));
    painter.drawText(room, static_cast<int>(alignment()), text());
}

void Label::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (takeClick(this, event)) {
        emit clicked();
    }
}

}  // namespace tq
