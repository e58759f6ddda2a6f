#include "app/qt_message_boxes.h"

#include <QMessageBox>

#include "common/log.h"

namespace tq {
namespace {

QMessageBox::Icon qtIcon(MessageBoxes::Icon icon) {
    switch (icon) {
        case MessageBoxes::Icon::Exclamation:
            return QMessageBox::Warning;
        case MessageBoxes::Icon::Question:
            return QMessageBox::Question;
        case MessageBoxes::Icon::Information:
            return QMessageBox::Information;
        case MessageBoxes::Icon::Critical:
            return QMessageBox::Critical;
        case MessageBoxes::Icon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

MessageBoxes::Answer QtMessageBoxes::show(const QString& text, const QString& title,
                                          Buttons buttons, Icon icon) {
    const bool yesNo = buttons == Buttons::YesNo;
    QMessageBox box(qtIcon(icon), title, text,
                    yesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, parent_.data());
    box.setDefaultButton(yesNo ? QMessageBox::Yes : QMessageBox::Ok);
    // Closing a Yes/No box from its title bar means No.
    box.setEscapeButton(yesNo ? QMessageBox::No : QMessageBox::Ok);
    const int picked = box.exec();
    if (!yesNo) {
        return Answer::Ok;
    }
    return picked == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

MessageBoxes::Answer UnattendedMessageBoxes::show(const QString& text, const QString& title,
                                                  Buttons buttons, Icon /*icon*/) {
    qCInfo(lcApp).noquote() << "message box" << title << ":" << text;
    return buttons == Buttons::YesNo ? Answer::Yes : Answer::Ok;
}

}  // namespace tq
