#include "analysis_view/lane_plot.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace tq {

namespace {

constexpr int kCursorGrabPixels = 5;

const std::array<QColor, 11> kTraceColours{
    QColor(31, 119, 180),  QColor(255, 127, 14), QColor(44, 160, 44),   QColor(214, 39, 40),
    QColor(148, 103, 189), QColor(140, 86, 75),  QColor(227, 119, 194), QColor(127, 127, 127),
    QColor(188, 189, 34),  QColor(23, 190, 207), QColor(0, 70, 140)};

// Black, so no trace shares their colour; A dashed, B dash-dotted, each
// named at the top of the first lane.
const std::array<Qt::PenStyle, 2> kCursorStyles{Qt::DashLine, Qt::DashDotLine};
const std::array<const char*, 2> kCursorNames{"A", "B"};

// The y range that holds every reading of a trace with a margin; a flat
// trace gets a band around its level, an empty one ±1.
QCPRange readingRange(const RunModel& model, const Trace& trace) {
    double low = std::numeric_limits<double>::infinity();
    double high = -low;
    for (const StoredPoint& point : model.points()) {
        const auto& value = point.values.at(trace.column);
        if (classify(value) == ValueKind::Reading) {
            low = std::min(low, *value);
            high = std::max(high, *value);
        }
    }
    if (low > high) {
        return {-1, 1};
    }
    const double span = high - low;
    const double margin = span > 0 ? span * 0.08 : std::max(std::abs(low) * 0.01, 1e-9);
    return {low - margin, high + margin};
}

}  // namespace

LanePlot::LanePlot(QWidget* parent) : QCustomPlot(parent) {
    setObjectName(QStringLiteral("analysisPlot"));
    setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);
    setNoAntialiasingOnDrag(true);
    plotLayout()->clear();
}

QColor LanePlot::traceColour(int index) {
    return kTraceColours.at(static_cast<std::size_t>(index) % kTraceColours.size());
}

void LanePlot::setRun(const RunModel* model, const std::vector<bool>& shown, XAxis axis) {
    const bool keepRange = model_ == model && axis_ == axis && !lanes_.empty();
    const QCPRange range = keepRange ? xRange() : QCPRange();
    model_ = model;
    axis_ = axis;
    buildLanes(shown);
    if (keepRange) {
        followXRange(range);
        for (Lane& lane : lanes_) {
            lane.rect->axis(QCPAxis::atLeft)
                ->setRange(readingRange(*model_, model_->traces()[lane.trace]));
            placeOverloads(lane);
        }
        placeCursors();
    } else {
        fitAll();
        placeCursors();
    }
    replot();
}

void LanePlot::buildLanes(const std::vector<bool>& shown) {
    clearItems();
    cursorNames_ = {};
    clearGraphs();
    plotLayout()->clear();
    lanes_.clear();
    pointsShown_ = 0;
    if (model_ == nullptr) {
        return;
    }
    auto* margins = new QCPMarginGroup(this);
    const auto& traces = model_->traces();
    for (std::size_t t = 0; t < traces.size(); ++t) {
        if (t < shown.size() && !shown[t]) {
            continue;
        }
        lanes_.push_back(addLane(static_cast<int>(t), margins));
    }
    if (!lanes_.empty()) {
        nameCursors();
        QCPAxis* bottom = lanes_.back().rect->axis(QCPAxis::atBottom);
        bottom->setTickLabels(true);
        bottom->setLabel(axis_ == XAxis::Seconds ? QStringLiteral("t (s)")
                                                 : QStringLiteral("point"));
    }
    for (Lane& lane : lanes_) {
        fillLane(lane, 0);
    }
    pointsShown_ = model_->points().size();
}

// The lane of trace `trace` below those built so far: its axes, its line,
// its overload markers and its two cursor lines.
LanePlot::Lane LanePlot::addLane(int trace, QCPMarginGroup* margins) {
    Lane lane;
    lane.trace = trace;
    lane.rect = new QCPAxisRect(this);
    plotLayout()->addElement(static_cast<int>(lanes_.size()), 0, lane.rect);
    lane.rect->setMarginGroup(QCP::msLeft | QCP::msRight, margins);
    lane.rect->setRangeZoom(Qt::Horizontal);
    lane.rect->setAutoMargins(QCP::msLeft | QCP::msRight | QCP::msBottom);
    lane.rect->setMargins(QMargins(0, 4, 0, 0));
    QCPAxis* x = lane.rect->axis(QCPAxis::atBottom);
    QCPAxis* y = lane.rect->axis(QCPAxis::atLeft);
    const Trace& t = model_->traces()[static_cast<std::size_t>(trace)];
    y->setLabel(t.unit.empty() ? QString::fromStdString(t.name)
                               : QStringLiteral("%1 (%2)").arg(QString::fromStdString(t.name),
                                                               QString::fromStdString(t.unit)));
    y->setLabelColor(traceColour(lane.trace));
    y->ticker()->setTickCount(3);
    x->setTickLabels(false);
    lane.line = addGraph(x, y);
    lane.line->setPen(QPen(traceColour(lane.trace), 1));
    lane.line->setName(QString::fromStdString(t.name));
    lane.overload = addGraph(x, y);
    lane.overload->setLineStyle(QCPGraph::lsNone);
    lane.overload->setScatterStyle(
        QCPScatterStyle(QCPScatterStyle::ssTriangle, Qt::red, Qt::red, 7));
    lane.overload->setName(QStringLiteral("%1 overload").arg(lane.line->name()));
    lane.lone = addGraph(x, y);
    lane.lone->setLineStyle(QCPGraph::lsNone);
    lane.lone->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, traceColour(lane.trace),
                                               traceColour(lane.trace), 5));
    lane.lone->setName(QStringLiteral("%1 lone").arg(lane.line->name()));
    for (std::size_t c = 0; c < 2; ++c) {
        auto* line = new QCPItemStraightLine(this);
        line->setClipAxisRect(lane.rect);
        line->setPen(QPen(Qt::black, 1, kCursorStyles[c]));
        line->point1->setAxes(x, y);
        line->point2->setAxes(x, y);
        lane.cursor[c] = line;
    }
    connect(x, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), this, &LanePlot::followXRange);
    connect(y, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), this,
            [this, index = lanes_.size()] {
                if (index < lanes_.size()) {
                    placeOverloads(lanes_[index]);
                    placeCursors();
                }
            });
    return lane;
}

// The cursors' names at the top of the first lane.
void LanePlot::nameCursors() {
    const Lane& first = lanes_.front();
    for (std::size_t c = 0; c < 2; ++c) {
        auto* name = new QCPItemText(this);
        name->setText(QString::fromLatin1(kCursorNames[c]));
        name->setClipAxisRect(first.rect);
        name->setPositionAlignment(Qt::AlignLeft | Qt::AlignTop);
        name->setPadding(QMargins(3, 0, 0, 0));
        name->position->setAxisRect(first.rect);
        name->position->setAxes(first.rect->axis(QCPAxis::atBottom),
                                first.rect->axis(QCPAxis::atLeft));
        name->position->setTypeX(QCPItemPosition::ptPlotCoords);
        name->position->setTypeY(QCPItemPosition::ptAxisRectRatio);
        cursorNames_[c] = name;
    }
}

// Missing readings and overloads are NaN on the line, which QCustomPlot
// draws as a break; overloads get their own marker instead.
void LanePlot::fillLane(Lane& lane, std::size_t from) {
    const auto& points = model_->points();
    const int column = model_->traces()[lane.trace].column;
    QVector<double> keys;
    QVector<double> values;
    keys.reserve(static_cast<qsizetype>(points.size() - from));
    values.reserve(keys.capacity());
    for (std::size_t i = from; i < points.size(); ++i) {
        const std::optional<double> x = model_->x(i, axis_);
        if (!x) {
            continue;
        }
        const auto& value = points[i].values.at(column);
        keys.push_back(*x);
        values.push_back(classify(value) == ValueKind::Reading
                             ? *value
                             : std::numeric_limits<double>::quiet_NaN());
    }
    lane.line->addData(keys, values, true);
    placeOverloads(lane);
    placeLoneReadings(lane);
}

// A line needs two readings side by side; a reading between gaps (or at an
// end beside one) would draw nothing, so it gets a dot of its own.
void LanePlot::placeLoneReadings(Lane& lane) {
    const auto& points = model_->points();
    const int column = model_->traces()[lane.trace].column;
    // The line's own points: those with a place on the x axis.
    struct Drawn {
        double x;
        std::optional<double> reading;
    };
    std::vector<Drawn> drawn;
    drawn.reserve(points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (const std::optional<double> x = model_->x(i, axis_)) {
            const auto& value = points[i].values.at(column);
            drawn.push_back({*x, classify(value) == ValueKind::Reading ? value : std::nullopt});
        }
    }
    QVector<double> keys;
    QVector<double> values;
    for (std::size_t i = 0; i < drawn.size(); ++i) {
        const bool before = i > 0 && drawn[i - 1].reading;
        const bool after = i + 1 < drawn.size() && drawn[i + 1].reading;
        if (drawn[i].reading && !before && !after) {
            keys.push_back(drawn[i].x);
            values.push_back(*drawn[i].reading);
        }
    }
    lane.lone->setData(keys, values, true);
}

void LanePlot::placeOverloads(Lane& lane) {
    if (model_ == nullptr) {
        return;
    }
    const auto& points = model_->points();
    const int column = model_->traces()[lane.trace].column;
    const QCPRange y = lane.rect->axis(QCPAxis::atLeft)->range();
    // Just inside the top edge, so the marker is seen whatever the zoom.
    const double top = y.upper - y.size() * 0.06;
    QVector<double> keys;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const std::optional<double> x = model_->x(i, axis_);
        if (x && classify(points[i].values.at(column)) == ValueKind::Overload) {
            keys.push_back(*x);
        }
    }
    lane.overload->setData(keys, QVector<double>(keys.size(), top), true);
}

void LanePlot::appendPoints() {
    if (model_ == nullptr) {
        return;
    }
    if (model_->points().size() < pointsShown_) {
        pointsShown_ = 0;
        for (Lane& lane : lanes_) {
            lane.line->data()->clear();
        }
    }
    for (Lane& lane : lanes_) {
        fillLane(lane, pointsShown_);
    }
    pointsShown_ = model_->points().size();
}

void LanePlot::fitAll() {
    if (model_ == nullptr || lanes_.empty()) {
        return;
    }
    const QCPRange data = dataXRange().value_or(QCPRange(0, 1));
    const double low = data.lower;
    const double high = data.upper;
    // A little room at both ends, so cursors on the first and the last point
    // can be seen and grabbed.
    const double pad = low == high ? 0.5 : (high - low) * 0.02;
    followXRange({low - pad, high + pad});
    for (Lane& lane : lanes_) {
        lane.rect->axis(QCPAxis::atLeft)
            ->setRange(readingRange(*model_, model_->traces()[lane.trace]));
    }
}

std::optional<QCPRange> LanePlot::dataXRange() const {
    if (model_ == nullptr) {
        return std::nullopt;
    }
    std::optional<QCPRange> range;
    for (std::size_t i = 0; i < model_->points().size(); ++i) {
        if (const auto x = model_->x(i, axis_)) {
            range = range ? QCPRange(std::min(range->lower, *x), std::max(range->upper, *x))
                          : QCPRange(*x, *x);
        }
    }
    return range;
}

QCPRange LanePlot::xRange() const {
    return lanes_.empty() ? QCPRange(0, 1) : lanes_.front().rect->axis(QCPAxis::atBottom)->range();
}

void LanePlot::followXRange(const QCPRange& range) {
    if (syncingX_) {
        return;
    }
    syncingX_ = true;
    for (Lane& lane : lanes_) {
        lane.rect->axis(QCPAxis::atBottom)->setRange(range);
    }
    syncingX_ = false;
}

void LanePlot::setCursors(double a, double b) {
    cursors_ = {a, b};
    placeCursors();
    replot(QCustomPlot::rpQueuedReplot);
    emit cursorsMoved();
}

void LanePlot::placeCursors() {
    for (std::size_t c = 0; c < 2 && !lanes_.empty(); ++c) {
        cursorNames_[c]->position->setCoords(cursors_[c], 0);
    }
    for (Lane& lane : lanes_) {
        const QCPRange y = lane.rect->axis(QCPAxis::atLeft)->range();
        for (std::size_t c = 0; c < 2; ++c) {
            lane.cursor[c]->point1->setCoords(cursors_[c], y.lower);
            lane.cursor[c]->point2->setCoords(cursors_[c], y.upper);
        }
    }
}

std::optional<int> LanePlot::cursorNear(int pixelX) const {
    if (lanes_.empty()) {
        return std::nullopt;
    }
    const QCPAxis* x = lanes_.front().rect->axis(QCPAxis::atBottom);
    for (int c = 0; c < 2; ++c) {
        if (std::abs(x->coordToPixel(cursors_[static_cast<std::size_t>(c)]) - pixelX) <=
            kCursorGrabPixels) {
            return c;
        }
    }
    return std::nullopt;
}

void LanePlot::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && !(event->modifiers() & Qt::ShiftModifier)) {
        draggedCursor_ = cursorNear(qRound(event->position().x()));
        if (draggedCursor_) {
            return;
        }
    }
    const bool band =
        event->button() == Qt::RightButton || (event->modifiers() & Qt::ShiftModifier);
    setSelectionRectMode(band ? QCP::srmZoom : QCP::srmNone);
    QCustomPlot::mousePressEvent(event);
}

void LanePlot::mouseMoveEvent(QMouseEvent* event) {
    if (draggedCursor_ && !lanes_.empty()) {
        auto next = cursors_;
        next[static_cast<std::size_t>(*draggedCursor_)] =
            lanes_.front().rect->axis(QCPAxis::atBottom)->pixelToCoord(event->position().x());
        setCursors(next[0], next[1]);
        return;
    }
    if (!lanes_.empty()) {
        setCursor(cursorNear(qRound(event->position().x())) ? Qt::SizeHorCursor : Qt::ArrowCursor);
    }
    QCustomPlot::mouseMoveEvent(event);
}

void LanePlot::mouseReleaseEvent(QMouseEvent* event) {
    if (draggedCursor_) {
        draggedCursor_.reset();
        return;
    }
    QCustomPlot::mouseReleaseEvent(event);
}

}  // namespace tq
