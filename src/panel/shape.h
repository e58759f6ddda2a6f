#pragma once

#include <QColor>
#include <QWidget>

namespace tq {

// A filled circle or a rectangle outline (legend dots, the pointer marker).
class Shape : public QWidget {
    Q_OBJECT
  public:
    enum class Kind { Circle, Rectangle };
    explicit Shape(Kind kind, QWidget* parent = nullptr);
    Kind kind() const { return kind_; }
    void setFillColor(const QColor& color);
    QColor fillColor() const { return fill_; }
    void setBorderColor(const QColor& color);
    QColor borderColor() const { return border_; }
    void setFilled(bool filled);
    bool filled() const { return filled_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    Kind kind_;
    QColor fill_{Qt::black};
    QColor border_{Qt::black};
    bool filled_ = true;
};

}  // namespace tq
