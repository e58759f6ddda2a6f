#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>
#include <vector>

namespace tq {

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

}  // namespace tq
