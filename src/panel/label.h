#pragma once

#include <QLabel>

namespace tq {

// A label that can be clicked (channel names, the service patches).
class Label : public QLabel {
    Q_OBJECT
  public:
    explicit Label(QWidget* parent = nullptr);
    // A caption wider than the label is drawn in a smaller size instead of
    // being cut (the message frame's texts at 36 points).
    void setShrinkToFit(bool on);
  signals:
    void clicked();

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    bool shrinkToFit_ = false;
};

}  // namespace tq
