#pragma once

#include <QString>
#include <optional>

class QObject;
class QWidget;

// What a control script does to one control, as a user would do it, through
// the same signals the window's handlers are connected to. Every function
// returns the reason it refused, empty when it acted.
namespace tq::script {

// The control of that objectName on the window ("CboFunc(2)"), or nullptr.
QObject* findControl(const QWidget& window, const QString& name);

// Why a user could not reach the control now: hidden, disabled, outside the
// window or covered by another control. Empty when they could.
QString unreachable(const QWidget& window, const QObject& control);

// A text box's or editable combo box's text typed over in one go and
// confirmed with Enter: the field judges it as it judges a user's typing.
QString typeText(QObject& control, const QString& text);
// The control focused and its text selected, then `text` sent key by key as
// key events, then Tab: the window sees every keystroke a user makes.
QString typeKeys(QWidget& window, QObject& control, const QString& text);
// A click or a pick moves the focus to a control that takes it, which
// finishes the typing in the field that had it.
void focusAsClicked(QObject& control);
// A list item picked in a combo box: the current index moves to it and its
// click handler runs.
QString pickItem(QObject& control, const QString& item);
// Command buttons, check boxes (toggled), clickable labels and frames.
QString click(QObject& control);

// The caption or text the control shows; none for controls without one.
std::optional<QString> shownText(const QObject& control);

}  // namespace tq::script
