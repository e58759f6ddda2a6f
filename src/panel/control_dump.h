#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QString>

class QObject;
class QWidget;

namespace tq {

// The kind of a window control ("frame", "label", "textbox", "command",
// "checkbox", "picturecheckbox", "combobox", "shape", "line", "picturebox",
// "timer"); empty for anything else (a combo box's inner line edit).
QString controlKind(const QObject* object);

// One object per control on form, frames before their contents: name, kind,
// container, geometry in twips, text, list items, own visible and enabled
// state, checked state, and the colours and font it shows.
QJsonArray describeControls(const QWidget* form);

// {"controls": [...]} written to path; false with a reason on failure.
bool writeControlDump(const QWidget* form, const QString& path, QString* error);

}  // namespace tq
