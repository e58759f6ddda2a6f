#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QRect>
#include <QString>
#include <QWidget>
#include <vector>

namespace tq {

class Clock;

// Geometry is kept in twips and shown at 15 twips per pixel (96 dpi); Qt
// scales on high-dpi screens.
constexpr int kTwipsPerPixel = 15;
int twipsToPixels(int twips);
int pixelsToTwips(int pixels);
// Places w at (left, top) with (width, height), all in twips.
void setTwipsGeometry(QWidget* w, int left, int top, int width, int height);
// Moves w keeping its size; left and top in twips.
void moveTwips(QWidget* w, int left, int top);
// The geometry last set in twips, as long as the widget still sits where
// that put it; otherwise its pixel geometry converted to twips.
QRect twipsGeometry(const QWidget* w);

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

// The trend plot's drawing surface: black, 9000 x 5400 twips. It keeps the
// segments drawn since the last clear and paints them; the overlay lines and
// the marker are child widgets and are never cleared.
class PlotSurface : public QWidget {
    Q_OBJECT
public:
    struct Segment {
        float x1, y1, x2, y2;  // twips
        QColor color;
    };
    explicit PlotSurface(QWidget* parent = nullptr);
    void clear();
    void drawSegment(float x1, float y1, float x2, float y2, const QColor& color);
    const std::vector<Segment>& segments() const { return segments_; }
    // Paints the segments into any painter whose coordinates are pixels of
    // the surface (the widget, an offscreen image of the plot's size).
    void paintSegments(QPainter& painter) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<Segment> segments_;
    // Scratch of the paint, kept between paints to spare the allocations.
    mutable QImage traces_;
    mutable std::vector<std::size_t> paintOrder_;
    mutable std::vector<QRgb> colourOf_;
};

// The window's one timer. While enabled it fires timer() every interval;
// driven by the Clock so tests run it on virtual time.
class Timer : public QObject {
    Q_OBJECT
public:
    explicit Timer(QObject* parent = nullptr);
    ~Timer() override;
    void setClock(Clock* clock);
    void setInterval(int ms);
    int interval() const { return interval_; }
    void setEnabled(bool enabled);
    bool isEnabled() const { return enabled_; }
signals:
    void timer();

private:
    void arm();
    void disarm();
    Clock* clock_ = nullptr;
    int interval_ = 0;
    bool enabled_ = false;
    int timerId_ = -1;
};

}  // namespace tq
