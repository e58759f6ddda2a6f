#pragma once

#include <QString>

namespace tq {

class Frame;
class Label;
class Timer;
struct Panel;

inline constexpr int kWarningStripMs = 4000;

// The red warning strip: its frame, its text and the timer that hides it.
// Taken from the panel (implicitly, so the panel itself can be handed over).
struct WarningStrip {
    WarningStrip(const Panel& p);
    Frame* Frame8;
    Label* Label4;
    Timer* Timer1;
};

// Shows `text` on the red warning strip; Timer1 hides it again after four
// seconds, and every warning restarts that time.
void showWarningStrip(const WarningStrip& strip, const QString& text);

}  // namespace tq
