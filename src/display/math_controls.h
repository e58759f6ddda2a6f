#pragma once

namespace tq {

struct Panel;

// The math row's switch: its caption and the row's frame. The run reads the
// row's choices and forms the value; the window shows it.
class MathControls {
  public:
    explicit MathControls(Panel& panel) : panel_(panel) {}
    void connectEvents();

    void ChkMath_Click();

  private:
    Panel& panel_;
};

}  // namespace tq
