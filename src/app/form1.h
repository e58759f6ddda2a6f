#pragma once

#include <QWidget>

#include "panel/panel.h"

namespace tq {

// The window's caption, spelt as the product spells it.
inline constexpr const char* kForm1Caption = "TQ4700 Scan  Mrasure Software V1.01 (Firmware 2.0x)";

// The front panel's one window: a fixed navy client area holding every
// control of the Panel.
class Form1 : public QWidget {
    Q_OBJECT
  public:
    explicit Form1(QWidget* parent = nullptr);

    Panel& panel() { return panel_; }
    const Panel& panel() const { return panel_; }

  private:
    Panel panel_;
};

}  // namespace tq
