#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "app/qt_message_boxes.h"
#include "panel/widget_app.h"

namespace tq {
namespace {

struct SeenBox {
    QString text;
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
};

// The box that comes up next is noted in `seen` and answered with `press`.
void answerNextBox(SeenBox& seen, QMessageBox::StandardButton press) {
    QTimer::singleShot(0, [&seen, press] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen = {.text = box->text(),
                .title = box->windowTitle(),
                .icon = box->icon(),
                .buttons = box->standardButtons(),
                .defaultButton = box->standardButton(box->defaultButton())};
        box->button(press)->click();
    });
}

TEST(QtMessageBoxes, ShowsTheIconAndButtonsAskedForAndReturnsTheAnswer) {
    test::widgetApp();
    QWidget window;
    QtMessageBoxes boxes(&window);
    SeenBox seen;

    answerNextBox(seen, QMessageBox::No);
    EXPECT_EQ(
        boxes.show("leave?", "tq4700", MessageBoxes::Buttons::YesNo, MessageBoxes::Icon::None),
        MessageBoxes::Answer::No);
    EXPECT_EQ(seen.text, "leave?");
    EXPECT_EQ(seen.title, "tq4700");
    EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
    EXPECT_EQ(seen.buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(seen.defaultButton, QMessageBox::Yes);

    answerNextBox(seen, QMessageBox::Yes);
    EXPECT_EQ(
        boxes.show("leave?", "tq4700", MessageBoxes::Buttons::YesNo, MessageBoxes::Icon::Question),
        MessageBoxes::Answer::Yes);
    EXPECT_EQ(seen.icon, QMessageBox::Question);

    answerNextBox(seen, QMessageBox::Ok);
    EXPECT_EQ(boxes.show("Initializing VISA library error.", "TQ4700 scan card test",
                         MessageBoxes::Buttons::Ok, MessageBoxes::Icon::Exclamation),
              MessageBoxes::Answer::Ok);
    EXPECT_EQ(seen.title, "TQ4700 scan card test");
    EXPECT_EQ(seen.icon, QMessageBox::Warning);
    EXPECT_EQ(seen.buttons, QMessageBox::Ok);
}

}  // namespace
}  // namespace tq
