#pragma once

#include <QString>
#include <deque>
#include <functional>

#include "app/script/script_parser.h"
#include "panel/message_boxes.h"

namespace tq {

// Message boxes while a control script drives the window: each box takes the
// answer the script queued for it. A box with no answer waiting, or one
// whose buttons do not offer the answer, fails the script with its text and
// gets its first button, so nothing ever waits for a user who is not there.
// Once the script is over, boxes go to the window's usual service.
class ScriptMessageBoxes final : public MessageBoxes {
  public:
    struct Queued {
        script::Reply reply;
        int line;  // the answer command's line
    };
    // Called with the reason when a box cannot be answered.
    using Failure = std::function<void(const QString& reason)>;

    explicit ScriptMessageBoxes(MessageBoxes& afterScript) : afterScript_(afterScript) {}

    void setFailure(Failure failure) { failure_ = std::move(failure); }
    // Between the start-up and the script's end; boxes outside go on to the
    // window's usual service.
    void setScriptActive(bool active) { active_ = active; }

    void queue(script::Reply reply, int line) { queued_.push_back({reply, line}); }
    const std::deque<Queued>& queued() const { return queued_; }
    // The next box, whatever its buttons, is answered Yes or OK without a
    // queued answer: the script's own exit leaves as Exit does after a Yes.
    void confirmNext() { confirmNext_ = true; }
    void clearConfirm() { confirmNext_ = false; }

    Answer show(const QString& text, const QString& title, Buttons buttons, Icon icon) override;

  private:
    MessageBoxes& afterScript_;
    Failure failure_;
    std::deque<Queued> queued_;
    bool active_ = true;
    bool confirmNext_ = false;
};

}  // namespace tq
