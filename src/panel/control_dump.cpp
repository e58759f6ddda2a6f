#include "panel/control_dump.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QJsonDocument>
#include <QLineEdit>
#include <QPushButton>
#include <QSaveFile>
#include <algorithm>
#include <cstdlib>

#include "panel/controls.h"

namespace tq {

namespace {

QString colorName(const QColor& color) {
    return color.name(QColor::HexRgb);
}

QJsonObject fontObject(const QFont& font) {
    return {{"family", font.family()},
            {"pointSize", font.pointSizeF()},
            {"weight", static_cast<int>(font.weight())},
            {"bold", font.bold()}};
}

QString alignmentName(Qt::Alignment align) {
    if (align & Qt::AlignHCenter) {
        return QStringLiteral("center");
    }
    if (align & Qt::AlignRight) {
        return QStringLiteral("right");
    }
    return QStringLiteral("left");
}

QJsonObject faceObject(const PictureCheckBox::Face& face) {
    return {{"text", face.text},
            {"color", colorName(face.textColor)},
            {"background", colorName(face.background)}};
}

void setGeometry(QJsonObject& o, const QRect& twips) {
    o["left"] = twips.x();
    o["top"] = twips.y();
    o["width"] = twips.width();
    o["height"] = twips.height();
}

// What each kind adds beyond the common fields.
void describeKind(const QWidget* w, const QString& kind, QJsonObject& o) {
    if (kind == "frame") {
        const auto* f = static_cast<const Frame*>(w);
        o["text"] = f->caption();
        o["border"] = f->hasBorder();
        o["background"] = colorName(f->palette().color(QPalette::Window));
        o["foreground"] = colorName(f->captionColor());
    } else if (kind == "label") {
        const auto* l = static_cast<const Label*>(w);
        o["text"] = l->text();
        o["alignment"] = alignmentName(l->alignment());
        o["foreground"] = colorName(l->palette().color(QPalette::WindowText));
        if (l->autoFillBackground()) {
            o["background"] = colorName(l->palette().color(QPalette::Window));
        }
    } else if (kind == "textbox") {
        const auto* t = static_cast<const QLineEdit*>(w);
        o["text"] = t->text();
        o["alignment"] = alignmentName(t->alignment());
        o["foreground"] = colorName(t->palette().color(QPalette::Text));
    } else if (kind == "command") {
        o["text"] = static_cast<const QPushButton*>(w)->text();
    } else if (kind == "checkbox") {
        const auto* c = static_cast<const QCheckBox*>(w);
        o["text"] = c->text();
        o["checked"] = c->isChecked();
    } else if (kind == "picturecheckbox") {
        const auto* c = static_cast<const PictureCheckBox*>(w);
        o["text"] = c->text();
        o["checked"] = c->isChecked();
        o["faces"] = QJsonObject{{"unchecked", faceObject(c->face(false))},
                                 {"checked", faceObject(c->face(true))}};
        o["blankWhenDisabled"] = c->blankWhenDisabled();
    } else if (kind == "combobox") {
        const auto* c = static_cast<const QComboBox*>(w);
        o["text"] = c->currentText();
        QJsonArray items;
        for (int i = 0; i < c->count(); ++i) {
            items.append(c->itemText(i));
        }
        o["items"] = items;
    } else if (kind == "shape") {
        const auto* s = static_cast<const Shape*>(w);
        o["text"] = QString();
        o["shape"] = s->kind() == Shape::Kind::Circle ? "circle" : "rectangle";
        o["filled"] = s->filled();
        o["color"] = colorName(s->filled() ? s->fillColor() : s->borderColor());
    } else if (kind == "line") {
        const auto* l = static_cast<const Line*>(w);
        o["text"] = QString();
        o["color"] = colorName(l->color());
        o["dashed"] = l->dashed();
    } else if (kind == "picturebox") {
        o["text"] = QString();
        o["background"] = colorName(w->palette().color(QPalette::Window));
    }
}

QJsonObject describeWidget(const QWidget* w, const QString& kind) {
    QJsonObject o{{"name", w->objectName()},
                  {"kind", kind},
                  {"container", w->parentWidget()->objectName()},
                  {"visible", !w->isHidden()},
                  {"enabled", w->isEnabled()},
                  {"font", fontObject(w->font())}};
    if (kind == "line") {
        // Lines are given by their end points; the box is what they span.
        const auto* l = static_cast<const Line*>(w);
        setGeometry(o, QRect(std::min(l->x1(), l->x2()), std::min(l->y1(), l->y2()),
                             std::abs(l->x2() - l->x1()), std::abs(l->y2() - l->y1())));
        o["x1"] = l->x1();
        o["y1"] = l->y1();
        o["x2"] = l->x2();
        o["y2"] = l->y2();
    } else {
        setGeometry(o, twipsGeometry(w));
    }
    describeKind(w, kind, o);
    return o;
}

QJsonObject describeTimer(const Timer* t) {
    QJsonObject o{
        {"name", t->objectName()},  {"kind", "timer"},  {"container", t->parent()->objectName()},
        {"text", QString()},        {"visible", false}, {"enabled", t->isEnabled()},
        {"interval", t->interval()}};
    setGeometry(o, QRect());
    return o;
}

void describeChildren(const QWidget* container, QJsonArray& out) {
    for (const QObject* child : container->children()) {
        const QString kind = controlKind(child);
        if (kind.isEmpty() || child->objectName().isEmpty()) {
            continue;
        }
        if (kind == "timer") {
            out.append(describeTimer(static_cast<const Timer*>(child)));
            continue;
        }
        const auto* w = static_cast<const QWidget*>(child);
        out.append(describeWidget(w, kind));
        if (kind == "frame" || kind == "picturebox") {
            describeChildren(w, out);
        }
    }
}

}  // namespace

QString controlKind(const QObject* object) {
    if (qobject_cast<const Frame*>(object)) {
        return QStringLiteral("frame");
    }
    if (qobject_cast<const Label*>(object)) {
        return QStringLiteral("label");
    }
    if (qobject_cast<const QLineEdit*>(object)) {
        // A combo box's own editor is part of the combo box.
        return qobject_cast<const QComboBox*>(object->parent()) ? QString()
                                                                : QStringLiteral("textbox");
    }
    if (qobject_cast<const QPushButton*>(object)) {
        return QStringLiteral("command");
    }
    if (qobject_cast<const QCheckBox*>(object)) {
        return QStringLiteral("checkbox");
    }
    if (qobject_cast<const PictureCheckBox*>(object)) {
        return QStringLiteral("picturecheckbox");
    }
    if (qobject_cast<const QComboBox*>(object)) {
        return QStringLiteral("combobox");
    }
    if (qobject_cast<const Shape*>(object)) {
        return QStringLiteral("shape");
    }
    if (qobject_cast<const Line*>(object)) {
        return QStringLiteral("line");
    }
    if (qobject_cast<const PlotSurface*>(object)) {
        return QStringLiteral("picturebox");
    }
    if (qobject_cast<const Timer*>(object)) {
        return QStringLiteral("timer");
    }
    return {};
}

QJsonArray describeControls(const QWidget* form) {
    QJsonArray controls;
    describeChildren(form, controls);
    return controls;
}

bool writeControlDump(const QWidget* form, const QString& path, QString* error) {
    const QJsonDocument doc(QJsonObject{{"controls", describeControls(form)}});
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(doc.toJson()) < 0 || !file.commit()) {
        if (error != nullptr) {
            *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        }
        return false;
    }
    return true;
}

}  // namespace tq
