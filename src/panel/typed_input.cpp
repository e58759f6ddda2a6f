#include "panel/typed_input.h"

#include <QComboBox>
#include <QLineEdit>
#include <QWidget>

namespace tq {

TypedInput::TypedInput(QLineEdit* editor, Judge judge, bool judgeCodeChanges)
    : QObject(editor),
      editor_(editor),
      judge_(std::move(judge)),
      judgeCodeChanges_(judgeCodeChanges),
      settled_(editor->text()) {
    // A keystroke's change comes as textEdited and then textChanged; a change
    // by code as textChanged alone.
    connect(editor, &QLineEdit::textEdited, this, [this] { edited_ = true; });
    connect(editor, &QLineEdit::textChanged, this, &TypedInput::changed);
    connect(editor, &QLineEdit::editingFinished, this, &TypedInput::finish);
}

TypedInput* TypedInput::attach(QLineEdit* field, Judge judge) {
    return new TypedInput(field, std::move(judge), true);
}

TypedInput* TypedInput::attach(QComboBox* box, Judge judge) {
    auto* input = new TypedInput(box->lineEdit(), std::move(judge), false);
    // Enter or leaving the box on a text of its list picks that item; the
    // pick has run the click handler already.
    connect(box, &QComboBox::activated, input, [input] {
        input->typing_ = false;
        input->settled_ = input->editor_->text();
    });
    return input;
}

void TypedInput::changed() {
    if (edited_) {
        edited_ = false;
        typing_ = true;
        return;
    }
    // Text set by code replaces whatever was being typed.
    typing_ = false;
    settled_ = editor_->text();
    if (judgeCodeChanges_) {
        judge(Source::Code);
    }
}

void TypedInput::finish() {
    if (!typing_) {
        return;
    }
    typing_ = false;
    settled_ = editor_->text();
    judge(Source::User);
}

void TypedInput::judge(Source source) {
    judge_(source);
    settled_ = editor_->text();
}

TypedInput* TypedInput::of(const QWidget* field) {
    if (const auto* box = qobject_cast<const QComboBox*>(field)) {
        field = box->lineEdit();
    }
    return field == nullptr ? nullptr
                            : field->findChild<TypedInput*>(QString(), Qt::FindDirectChildrenOnly);
}

void TypedInput::finishAll(const QWidget* window) {
    for (TypedInput* input : window->findChildren<TypedInput*>()) {
        input->finish();
    }
}

QString TypedInput::settledText(const QWidget* field) {
    if (const TypedInput* input = of(field)) {
        return input->settledText();
    }
    if (const auto* box = qobject_cast<const QComboBox*>(field)) {
        return box->currentText();
    }
    const auto* edit = qobject_cast<const QLineEdit*>(field);
    return edit != nullptr ? edit->text() : QString();
}

}  // namespace tq
