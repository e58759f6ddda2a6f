#pragma once

#include <array>
#include <optional>
#include <vector>

#include <qcustomplot.h>

#include "analysis/run_model.h"

namespace tq {

// Every shown trace in a lane of its own, stacked over one shared x axis:
// each lane keeps its own y scale and unit, so a ±3 V channel and a 10 kHz
// channel are both read at full height, and the two cursors cross all lanes
// at the same x. The wheel zooms x, a drag pans, a rubber band (Shift+drag or
// right-drag) zooms into a rectangle of one lane.
class LanePlot : public QCustomPlot {
    Q_OBJECT
  public:
    explicit LanePlot(QWidget* parent = nullptr);

    // Lanes for the traces of `model` whose flag in `shown` is set (one flag
    // per trace), drawn along `axis`. Keeps the x range and the cursors.
    void setRun(const RunModel* model, const std::vector<bool>& shown, XAxis axis);
    // The model gained points at its end since the last call: add them to
    // the lanes without building them again.
    void appendPoints();
    // The whole run in view, every lane scaled to its own readings.
    void fitAll();

    // The cursors' x positions, A and B.
    std::array<double, 2> cursors() const { return cursors_; }
    void setCursors(double a, double b);
    // The colour trace `index` (into the model's traces) is drawn in.
    static QColor traceColour(int index);
    // The lanes' x range (the same in every lane).
    QCPRange xRange() const;
    // The first and the last x of the run's points; none without points.
    std::optional<QCPRange> dataXRange() const;

  signals:
    void cursorsMoved();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    struct Lane {
        int trace = 0;  // index into the model's traces
        QCPAxisRect* rect = nullptr;
        QCPGraph* line = nullptr;      // readings; gaps where there are none
        QCPGraph* overload = nullptr;  // a marker on the lane's top edge per overload
        QCPGraph* lone = nullptr;      // a dot for a reading with no reading beside it
        std::array<QCPItemStraightLine*, 2> cursor{};
    };

    void buildLanes(const std::vector<bool>& shown);
    Lane addLane(int trace, QCPMarginGroup* margins);
    void nameCursors();
    void fillLane(Lane& lane, std::size_t from);
    void placeOverloads(Lane& lane);
    void placeLoneReadings(Lane& lane);
    void placeCursors();
    void followXRange(const QCPRange& range);
    std::optional<int> cursorNear(int pixelX) const;

    const RunModel* model_ = nullptr;
    XAxis axis_ = XAxis::Seconds;
    std::vector<Lane> lanes_;
    std::size_t pointsShown_ = 0;
    std::array<QCPItemText*, 2> cursorNames_{};
    std::array<double, 2> cursors_{0, 0};
    std::optional<int> draggedCursor_;
    bool syncingX_ = false;
};

}  // namespace tq
