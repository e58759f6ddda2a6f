#include <QPainter>
#include <QStyleOptionButton>

#include "panel/picture_check_box.h"

namespace tq {

PictureCheckBox::PictureCheckBox(QWidget* parent) : QAbstractButton(parent) {
    setCheckable(true);
}

void PictureCheckBox::setFaces(const Face& unchecked, const Face& checked, bool blankWhenDisabled) {
    unchecked_ = unchecked;
    checked_ = checked;
    blankWhenDisabled_ = blankWhenDisabled;
    update();
}

QSize PictureCheckBox::sizeHint() const {
    return {75, 30};
}

void PictureCheckBox::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);

    // A push-button bevel that stays pressed while checked.
    QStyleOptionButton option;
    option.initFrom(this);
    option.state |= isChecked() || isDown() ? QStyle::State_Sunken : QStyle::State_Raised;
    if (isChecked()) {
        option.state |= QStyle::State_On;
    }
    style()->drawPrimitive(QStyle::PE_PanelButtonCommand, &option, &painter, this);

    // A disabled switch shows its unchecked word (the run toggles) or
    // nothing at all (the mode switch without a card).
    if (!isEnabled() && blankWhenDisabled_) {
        return;
    }
    const Face& shown = isEnabled() ? face(isChecked()) : unchecked_;
    const int shift = isChecked() ? 1 : 0;
    const QRect inner = rect().adjusted(3 + shift, 3 + shift, -3 + shift, -3 + shift);
    if (shown.background.isValid()) {
        painter.fillRect(inner, shown.background);
    }
    painter.setFont(font());
    painter.setPen(shown.textColor);
    painter.drawText(inner, Qt::AlignCenter, shown.text);
}

}  // namespace tq
