#include "panel/controls.h"

#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>
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

bool releasedInside(const QWidget* w, const QMouseEvent* event) {
    return event->button() == Qt::LeftButton && w->rect().contains(event->position().toPoint());
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

// ---------------------------------------------------------------- Label

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
    // Taken here, so a click on a label does not click its frame as well.
    event->accept();
    if (releasedInside(this, event)) {
        emit clicked();
    }
}

// ---------------------------------------------------------------- Frame

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
    // Taken here, so a click on a label does not click its frame as well.
    event->accept();
    if (releasedInside(this, event)) {
        emit clicked();
    }
}

// ---------------------------------------------------------------- Shape

Shape::Shape(Kind kind, QWidget* parent) : QWidget(parent), kind_(kind) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void Shape::setFillColor(const QColor& color) {
    fill_ = color;
    update();
}

void Shape::setBorderColor(const QColor& color) {
    border_ = color;
    update();
}

void Shape::setFilled(bool filled) {
    filled_ = filled;
    update();
}

void Shape::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, kind_ == Kind::Circle);
    painter.setPen(border_);
    if (filled_) {
        painter.setBrush(fill_);
    } else {
        painter.setBrush(Qt::NoBrush);
    }
    const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    if (kind_ == Kind::Circle) {
        painter.drawEllipse(box);
    } else {
        painter.drawRect(box);
    }
}

}  // namespace tq
