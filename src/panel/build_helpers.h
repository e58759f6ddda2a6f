#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>

#include "panel/controls.h"
#include "panel/look.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

// Factories for the window's controls: each names the control, parents it
// and places it in twips, so the area builders read like the control lists.
namespace tq::build {

// A rectangle in twips of the container: left, top, width, height.
struct Box {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// The name of a control-array member: "CboFunc(3)".
QString indexed(const char* base, int index);
// "CH1" .. "CHn".
QStringList channelNames(int count);

void place(QWidget* w, const Box& box);
void fillBackground(QWidget* w, const QColor& color);
void setTextColor(QWidget* w, const QColor& color);

Frame* frame(QWidget* parent, const QString& name, const Box& box, const QColor& back, bool border);
Label* label(QWidget* parent, const QString& name, const Box& box, const QString& text,
             const QFont& font, const QColor& color = Qt::black,
             Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter);
// A label on a grey box with a thin border (channel names).
Label* boxLabel(QWidget* parent, const QString& name, const Box& box, const QString& text,
                const QFont& font);
QLineEdit* textBox(QWidget* parent, const QString& name, const Box& box, const QString& text,
                   const QFont& font = look::arial(9));
QPushButton* command(QWidget* parent, const QString& name, const Box& box, const QString& text,
                     const QFont& font);
QCheckBox* checkBox(QWidget* parent, const QString& name, const Box& box, const QString& text,
                    bool checked, const QFont& font = look::arial(9));
// An editable combo box showing text over items; typed text is never added
// to the list.
QComboBox* comboBox(QWidget* parent, const QString& name, const Box& box, const QString& text,
                    const QStringList& items, const QFont& font = look::arial(9));
Shape* circle(QWidget* parent, const QString& name, const Box& box, const QColor& fill);
Line* line(QWidget* parent, const QString& name, int x1, int y1, int x2, int y2,
           const QColor& color, bool dashed);

}  // namespace tq::build
