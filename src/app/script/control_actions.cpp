#include "app/script/control_actions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <QWidget>

#include "panel/control_dump.h"
#include "panel/controls.h"

namespace tq::script {
namespace {

QString kindRefusal(const QObject& control, const QString& wanted) {
    const QString kind = controlKind(&control);
    return QStringLiteral("%1 is a %2, not %3").arg(control.objectName(), kind, wanted);
}

// The part of w that shows inside its containers and the window, in window
// coordinates.
QRect shownRect(const QWidget& window, const QWidget& w) {
    QRect shown(w.mapTo(&window, QPoint(0, 0)), w.size());
    for (const QWidget* c = w.parentWidget(); c != nullptr && c != &window; c = c->parentWidget()) {
        shown &= QRect(c->mapTo(&window, QPoint(0, 0)), c->size());
    }
    return shown & window.rect();
}

bool isWithin(const QWidget* w, const QWidget& ancestor) {
    for (; w != nullptr; w = w->parentWidget()) {
        if (w == &ancestor) {
            return true;
        }
    }
    return false;
}

// The control whose area holds w (a combo box's editor belongs to its box).
QString ownerName(const QWidget* w) {
    for (; w != nullptr; w = w->parentWidget()) {
        if (!controlKind(w).isEmpty() && !w->objectName().isEmpty()) {
            return w->objectName();
        }
    }
    return QStringLiteral("another widget");
}

}  // namespace

QObject* findControl(const QWidget& window, const QString& name) {
    if (name.isEmpty()) {
        return nullptr;
    }
    for (QObject* o : window.findChildren<QObject*>(name)) {
        if (!controlKind(o).isEmpty()) {
            return o;
        }
    }
    return nullptr;
}

QString unreachable(const QWidget& window, const QObject& control) {
    const auto* w = qobject_cast<const QWidget*>(&control);
    const QString name = control.objectName();
    if (w == nullptr) {
        return QStringLiteral("%1 is not on the screen").arg(name);
    }
    if (!w->isVisible()) {
        return QStringLiteral("%1 is hidden").arg(name);
    }
    if (!w->isEnabled()) {
        return QStringLiteral("%1 is disabled").arg(name);
    }
    const QRect shown = shownRect(window, *w);
    if (shown.isEmpty()) {
        return QStringLiteral("%1 is outside the window").arg(name);
    }
    // Where a user would aim: the middle of what shows of it.
    const QWidget* hit = window.childAt(shown.center());
    if (hit != nullptr && !isWithin(hit, *w)) {
        return QStringLiteral("%1 is covered by %2").arg(name, ownerName(hit));
    }
    return {};
}

QString typeText(QObject& control, const QString& text) {
    const QString kind = controlKind(&control);
    auto* box = qobject_cast<QLineEdit*>(&control);
    if (box == nullptr || kind != QLatin1String("textbox")) {
        return kindRefusal(control, QStringLiteral("a text box"));
    }
    if (box->isReadOnly()) {
        return QStringLiteral("%1 is read-only").arg(control.objectName());
    }
    box->setText(text);
    return {};
}

QString pickItem(QObject& control, const QString& item) {
    auto* combo = qobject_cast<QComboBox*>(&control);
    if (combo == nullptr) {
        return kindRefusal(control, QStringLiteral("a combo box"));
    }
    QStringList items;
    for (int i = 0; i < combo->count(); ++i) {
        if (combo->itemText(i) == item) {
            combo->setCurrentIndex(i);
            // A user's pick: both signals, in the order the box sends them.
            emit combo->activated(i);
            emit combo->textActivated(item);
            return {};
        }
        items.append(combo->itemText(i));
    }
    return QStringLiteral("\"%1\" is not in the list of %2 (%3)")
        .arg(item, control.objectName(), items.join(QStringLiteral(", ")));
}

QString click(QObject& control) {
    if (auto* label = qobject_cast<Label*>(&control)) {
        emit label->clicked();
        return {};
    }
    if (auto* frame = qobject_cast<Frame*>(&control)) {
        emit frame->clicked();
        return {};
    }
    const QString kind = controlKind(&control);
    const bool button = kind == QLatin1String("command") || kind == QLatin1String("checkbox") ||
                        kind == QLatin1String("picturecheckbox");
    auto* b = qobject_cast<QAbstractButton*>(&control);
    if (!button || b == nullptr) {
        return kindRefusal(control, QStringLiteral("something that can be clicked"));
    }
    // A check box toggles, which is what runs its handler.
    b->click();
    return {};
}

std::optional<QString> shownText(const QObject& control) {
    if (const auto* label = qobject_cast<const Label*>(&control)) {
        return label->text();
    }
    if (const auto* frame = qobject_cast<const Frame*>(&control)) {
        return frame->caption();
    }
    if (const auto* picture = qobject_cast<const PictureCheckBox*>(&control)) {
        // The word on its face, as drawn.
        if (!picture->isEnabled()) {
            return picture->blankWhenDisabled() ? QString() : picture->face(false).text;
        }
        return picture->face(picture->isChecked()).text;
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(&control)) {
        return button->text();
    }
    if (const auto* combo = qobject_cast<const QComboBox*>(&control)) {
        return combo->currentText();
    }
    if (const auto* box = qobject_cast<const QLineEdit*>(&control)) {
        return box->text();
    }
    return std::nullopt;
}

}  // namespace tq::script
