#pragma once

#include <QColor>
#include <QFrame>
#include <QString>

namespace tq {

// A container with an optional caption and border; clickable (the message
// frame hides itself on a click).
class Frame : public QFrame {
    Q_OBJECT
  public:
    explicit Frame(QWidget* parent = nullptr);
    void setCaption(const QString& caption);
    QString caption() const { return caption_; }
    void setBorder(bool on);
    bool hasBorder() const { return border_; }
    void setCaptionColor(const QColor& color);
    QColor captionColor() const { return captionColor_; }
  signals:
    void clicked();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    QString caption_;
    QColor captionColor_{Qt::black};
    bool border_ = true;
};

}  // namespace tq
