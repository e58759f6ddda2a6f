#pragma once

#include <QColor>
#include <QWidget>

namespace tq {

// A straight line inside the plot surface, its end points in twips of the
// surface. The widget covers the line's bounding box and paints only the
// line, so it stays on top of the traces and survives a clear.
class Line : public QWidget {
    Q_OBJECT
  public:
    explicit Line(QWidget* parent = nullptr);
    void setPoints(int x1, int y1, int x2, int y2);
    void setX(int x1, int x2) { setPoints(x1, y1_, x2, y2_); }
    void setY(int y1, int y2) { setPoints(x1_, y1, x2_, y2); }
    int x1() const { return x1_; }
    int y1() const { return y1_; }
    int x2() const { return x2_; }
    int y2() const { return y2_; }
    void setColor(const QColor& color);
    QColor color() const { return color_; }
    void setDashed(bool dashed);
    bool dashed() const { return dashed_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    int x1_ = 0, y1_ = 0, x2_ = 0, y2_ = 0;
    QColor color_{Qt::gray};
    bool dashed_ = false;
};

}  // namespace tq
