#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QComboBox;
class QLineEdit;
class QWidget;

namespace tq {

// When a field's change handler sees what a user types. Text set by code
// runs the handler at once, as the handlers expect; typing runs it only when
// the user is done with the field (Enter, the field losing focus, or
// finish()), so a half-typed number ("0.", the "1" of "12") is neither
// corrected nor acted on.
class TypedInput : public QObject {
    Q_OBJECT
  public:
    enum class Source { Code, User };
    using Judge = std::function<void(Source)>;

    // A text box: `judge` runs on every change by code and on finished
    // typing.
    static TypedInput* attach(QLineEdit* field, Judge judge);
    // An editable combo box: changes by code and picks from the list run
    // nothing here (a pick runs the box's click handler); finished typing
    // runs `judge`.
    static TypedInput* attach(QComboBox* box, Judge judge);

    // Judges the typing not judged yet; nothing when there is none.
    void finish();
    bool typing() const { return typing_; }
    // The text in effect: the field's text, except while the user is still
    // typing, when it is the text last judged.
    QString settledText() const { return settled_; }

    // The helper of a text box or editable combo box; none when it has none.
    static TypedInput* of(const QWidget* field);
    // Finishes the typing in every field of the window, as a click elsewhere
    // does.
    static void finishAll(const QWidget* window);
    // The field's text as last judged (its text when it has no helper).
    static QString settledText(const QWidget* field);

  private:
    TypedInput(QLineEdit* editor, Judge judge, bool judgeCodeChanges);
    void changed();
    void judge(Source source);

    QLineEdit* editor_;
    Judge judge_;
    bool judgeCodeChanges_;
    bool edited_ = false;  // the change under way comes from the keyboard
    bool typing_ = false;
    QString settled_;
};

}  // namespace tq
