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

// A text box's text set as typed: its change handler runs.
QString typeText(QObject& control, const QString& text);
// A list item picked in a combo box: the current index moves to it and its
// click handler runs.
QString pickItem(QObject& control, const QString& item);
// Command buttons, check boxes (toggled), clickable labels and frames.
QString click(QObject& control);

// The caption or text the control shows; none for controls without one.
std::optional<QString> shownText(const QObject& control);

}  // namespace tq::script
