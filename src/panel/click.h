#pragma once

#include <QMouseEvent>
#include <QWidget>

namespace tq {

// A left-button release inside the widget is a click. The event is taken
// either way, so a click on a label does not click its frame as well.
inline bool takeClick(const QWidget* w, QMouseEvent* event) {
    event->accept();
    return event->button() == Qt::LeftButton && w->rect().contains(event->position().toPoint());
}

}  // namespace tq
