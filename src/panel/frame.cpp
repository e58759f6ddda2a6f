#include "panel/frame.h"

#include <QPainter>

#include "panel/click.h"

namespace tq {

Frame::Frame(QWidget* parent) : QFrame(parent) {
    setAutoFillBackground(true);
}

void Frame::setCaption(const QString& caption) {
    caption_ = caption;
    update();
}

void Frame::setBorder(bool on) {
    border_ = on;
    update();
}

void Frame::setCaptionColor(const QColor& color) {
    captionColor_ = color;
    update();
}

void Frame::paintEvent(QPaintEvent* /*event*/) {
    if (!border_ && caption_.isEmpty()) {
        return;
    }
    QPainter painter(this);
    const QFontMetrics metrics(font());
    // An etched rectangle whose top runs through the middle of the caption.
    const int top = caption_.isEmpty() ? 0 : metrics.height() / 2;
    if (border_) {
        const QRect box = rect().adjusted(0, top, -2, -2);
        painter.setPen(QColor(128, 128, 128));
        painter.drawRect(box);
        painter.setPen(Qt::white);
        painter.drawRect(box.translated(1, 1));
    }
    if (!caption_.isEmpty()) {
        constexpr int kIndent = 8;
        const int width = metrics.horizontalAdvance(caption_) + 4;
        const QRect area(kIndent, 0, width, metrics.height());
        painter.fillRect(area, palette().color(QPalette::Window));
        painter.setPen(captionColor_);
        painter.drawText(area, Qt::AlignCenter, caption_);
    }
}

void Frame::mouseReleaseEvent(QMouseEvent* event) {
    QFrame::mouseReleaseEvent(event);
    if (takeClick(this, event)) {
        emit clicked();
    }
}

}  // namespace tq
