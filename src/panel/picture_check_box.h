#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QString>

namespace tq {

// A two-state push face showing a word for each state (the run, pause and
// mode switches); blank when disabled if so configured.
class PictureCheckBox : public QAbstractButton {
    Q_OBJECT
  public:
    struct Face {
        QString text;
        QColor textColor;
        QColor background;
    };
    explicit PictureCheckBox(QWidget* parent = nullptr);
    void setFaces(const Face& unchecked, const Face& checked, bool blankWhenDisabled);
    const Face& face(bool checked) const { return checked ? checked_ : unchecked_; }
    bool blankWhenDisabled() const { return blankWhenDisabled_; }
    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    Face unchecked_;
    Face checked_;
    bool blankWhenDisabled_ = false;
};

}  // namespace tq
