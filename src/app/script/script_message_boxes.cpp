#include "app/script/script_message_boxes.h"

namespace tq {
namespace {

MessageBoxes::Answer firstButton(MessageBoxes::Buttons buttons) {
    return buttons == MessageBoxes::Buttons::YesNo ? MessageBoxes::Answer::Yes
                                                   : MessageBoxes::Answer::Ok;
}

QString buttonsText(MessageBoxes::Buttons buttons) {
    return buttons == MessageBoxes::Buttons::YesNo ? QStringLiteral("yes or no")
                                                   : QStringLiteral("ok");
}

}  // namespace

MessageBoxes::Answer ScriptMessageBoxes::show(const QString& text, const QString& title,
                                              Buttons buttons, Icon icon) {
    if (!active_) {
        return afterScript_.show(text, title, buttons, icon);
    }
    if (confirmNext_) {
        confirmNext_ = false;
        return firstButton(buttons);
    }
    // Failing never leaves a box open: the script is over, its first button
    // closes the box, and the program ends through its usual steps.
    const auto fail = [&](const QString& reason) {
        if (failure_) {
            failure_(reason);
        }
        return firstButton(buttons);
    };
    if (queued_.empty()) {
        return fail(QStringLiteral("message box \"%1\" with no answer waiting").arg(text));
    }
    const Queued next = queued_.front();
    queued_.pop_front();
    const bool yesNo = buttons == Buttons::YesNo;
    switch (next.reply) {
        case script::Reply::Yes:
            if (yesNo) {
                return Answer::Yes;
            }
            break;
        case script::Reply::No:
            if (yesNo) {
                return Answer::No;
            }
            break;
        case script::Reply::Ok:
            if (!yesNo) {
                return Answer::Ok;
            }
            break;
    }
    return fail(QStringLiteral("message box \"%1\" takes %2, not the answer %3 of line %4")
                    .arg(text, buttonsText(buttons),
                         QString::fromLatin1(script::replyWord(next.reply).data()),
                         QString::number(next.line)));
}

}  // namespace tq
