#pragma once

#include <QString>

namespace tq {

// Every message box of the front panel goes through this service, so the
// window shows real modal boxes while tests and control scripts answer them.
class MessageBoxes {
  public:
    enum class Buttons { Ok, YesNo };
    enum class Icon { None, Exclamation, Question, Information, Critical };
    enum class Answer { Ok, Yes, No };

    virtual ~MessageBoxes() = default;
    virtual Answer show(const QString& text, const QString& title, Buttons buttons, Icon icon) = 0;
};

// The title a box gets when the caller names none.
inline QString defaultMessageTitle() {
    return QStringLiteral("tq4700");
}

}  // namespace tq
