#pragma once

#include <QString>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "panel/message_boxes.h"

namespace tq::test {

// Records every box and gives the scripted answers in turn (OK / Yes when
// the script has run out).
class FakeBoxes : public MessageBoxes {
  public:
    struct Box {
        QString text;
        QString title;
        Buttons buttons;
        Icon icon;
    };
    Answer show(const QString& text, const QString& title, Buttons buttons, Icon icon) override {
        shown.push_back({text, title, buttons, icon});
        texts.push_back(text.toStdString());
        if (whileShown) {
            whileShown();
        }
        if (!answers.empty()) {
            const Answer a = answers.front();
            answers.pop_front();
            return a;
        }
        return buttons == Buttons::YesNo ? Answer::Yes : Answer::Ok;
    }
    std::vector<Box> shown;
    // The boxes' texts alone, for comparing with expected messages.
    std::vector<std::string> texts;
    std::deque<Answer> answers;
    // Runs while the box is up, as events a modal box serves would.
    std::function<void()> whileShown;
};

}  // namespace tq::test
