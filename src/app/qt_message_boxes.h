#pragma once

#include <QPointer>
#include <QWidget>

#include "panel/message_boxes.h"

namespace tq {

// Real modal boxes over the window: the icon and buttons asked for, the
// first button the default, as the user knows them from the front panel.
class QtMessageBoxes final : public MessageBoxes {
  public:
    explicit QtMessageBoxes(QWidget* parent = nullptr) : parent_(parent) {}

    // The window the boxes centre on (it is built after this service).
    void setParentWidget(QWidget* parent) { parent_ = parent; }

    Answer show(const QString& text, const QString& title, Buttons buttons, Icon icon) override;

  private:
    QPointer<QWidget> parent_;
};

// For a window nobody looks at (rendering to files): every box goes to the
// log and is answered with its first button.
class UnattendedMessageBoxes final : public MessageBoxes {
  public:
    Answer show(const QString& text, const QString& title, Buttons buttons, Icon icon) override;
};

}  // namespace tq
