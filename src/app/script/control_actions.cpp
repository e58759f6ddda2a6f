#include "app/script/control_actions.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <QWidget>

#include "panel/control_dump.h"
#include "panel/controls.h"
#include "panel/typed_input.h"

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

// The line editor a user types into: a text box's own, or an editable
// combo box's. The refusal when there is none.
QString typingTarget(QObject& control, QLineEdit** editor) {
    const QString kind = controlKind(&control);
    if (kind == QLatin1String("textbox")) {
        *editor = qobject_cast<QLineEdit*>(&control);
    } else if (auto* box = qobject_cast<QComboBox*>(&control);
               box != nullptr && box->isEditable()) {
        *editor = box->lineEdit();
    }
    if (*editor == nullptr) {
        return kindRefusal(control, QStringLiteral("a text box or an editable combo box"));
    }
    if ((*editor)->isReadOnly()) {
        return QStringLiteral("%1 is read-only").arg(control.objectName());
    }
    return {};
}

// Qt's key codes of the printable ASCII characters are their upper-case
// codes; other characters come as text alone.
int keyOf(const QString& typed) {
    const char16_t c = typed.size() == 1 ? typed[0].toUpper().unicode() : 0;
    return c >= 0x20 && c < 0x7F ? static_cast<int>(c) : static_cast<int>(Qt::Key_unknown);
}

void sendKey(QWidget& target, int key, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(&target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(&target, &release);
}

bool activate(QWidget& window) {
    constexpr int kTries = 100;
    window.activateWindow();
    for (int i = 0; i < kTries && !window.isActiveWindow(); ++i) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return window.isActiveWindow();
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
    QLineEdit* editor = nullptr;
    const QString refused = typingTarget(control, &editor);
    if (!refused.isEmpty()) {
        return refused;
    }
    editor->selectAll();
    // An edit, as a keystroke makes one; the Enter that confirms it goes
    // where a user's key would.
    editor->insert(text);
    sendKey(*qobject_cast<QWidget*>(&control), Qt::Key_Return, QStringLiteral("\r"));
    return {};
}

QString typeKeys(QWidget& window, QObject& control, const QString& text) {
    QLineEdit* editor = nullptr;
    const QString refused = typingTarget(control, &editor);
    if (!refused.isEmpty()) {
        return refused;
    }
    auto& target = *qobject_cast<QWidget*>(&control);
    // Focus moves only inside the active window.
    if (!activate(window)) {
        return QStringLiteral("the window cannot be made active to take keys");
    }
    target.setFocus(Qt::OtherFocusReason);
    editor->selectAll();
    for (qsizetype i = 0; i < text.size(); ++i) {
        // A character outside the first plane comes as one key of two halves.
        const qsizetype length = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString typed = text.mid(i, length);
        sendKey(target, keyOf(typed), typed);
        i += length - 1;
    }
    sendKey(target, Qt::Key_Tab, QStringLiteral("\t"));
    return {};
}

void focusAsClicked(QObject& control) {
    auto* w = qobject_cast<QWidget*>(&control);
    if (w != nullptr && (w->focusPolicy() & Qt::ClickFocus) != 0) {
        TypedInput::finishAll(w->window());
    }
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
