#include "analysis_view/analysis_window.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

#include "analysis_view/lane_plot.h"

namespace tq {

namespace {

// Points arrive faster than a redraw of every lane is worth; the view
// draws at most this often during a run and once more when it ends.
constexpr int kLiveDrawMs = 100;

QString traceLabel(const Trace& trace) {
    return trace.unit.empty() ? QString::fromStdString(trace.name)
                              : QStringLiteral("%1 (%2)").arg(QString::fromStdString(trace.name),
                                                              QString::fromStdString(trace.unit));
}

}  // namespace

class AnalysisWindow::Follower : public RunObserver {
  public:
    explicit Follower(AnalysisWindow& window) : window_(window) {}
    void runStarted(const RunSetup& setup) override {
        window_.model_.start(setup);
        window_.axis_ = XAxis::Seconds;
        window_.following_ = true;
        window_.cursorsPlaced_ = false;
        window_.problems_->hide();
        window_.setWindowTitle(QStringLiteral("Analysis"));
        window_.showRun();
    }
    void pointStored(const StoredPoint& point) override {
        const std::size_t before = window_.model_.points().size();
        window_.model_.add(point);
        if (window_.model_.points().size() == before + 1 &&
            window_.model_.points().back().point == point.point) {
            window_.plot_->appendPoints();
        } else {
            window_.plot_->setRun(&window_.model_, window_.shown_, window_.axis_);
        }
        window_.pointArrived();
    }
    void runEnded(RunEnd /*how*/, std::int32_t /*pointsTaken*/) override { window_.drawNow(); }

  private:
    AnalysisWindow& window_;
};

AnalysisWindow::AnalysisWindow(QWidget* parent)
    : QWidget(parent, Qt::Window), follower_(std::make_unique<Follower>(*this)) {
    setObjectName(QStringLiteral("Analysis"));
    setWindowTitle(QStringLiteral("Analysis"));
    resize(1200, 900);
    buildControls();
    drawLater_.setSingleShot(true);
    drawLater_.setInterval(kLiveDrawMs);
    connect(&drawLater_, &QTimer::timeout, this, &AnalysisWindow::drawNow);
    sinceDraw_.start();
}

AnalysisWindow::~AnalysisWindow() = default;

RunObserver& AnalysisWindow::follower() {
    return *follower_;
}

void AnalysisWindow::buildControls() {
    QHBoxLayout* tools = buildTools();

    problems_ = new QLabel;
    problems_->setObjectName(QStringLiteral("analysisProblems"));
    problems_->setStyleSheet(QStringLiteral("color: #b00000"));
    problems_->setWordWrap(true);
    problems_->hide();

    QSplitter* stack = buildViews();

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(tools);
    layout->addWidget(problems_);
    layout->addWidget(stack, 1);
    connectViews();
}

// The row above the plot: fit, the x axis, the exports and a hint.
QHBoxLayout* AnalysisWindow::buildTools() {
    auto* fit = new QPushButton(QStringLiteral("Fit all"));
    fit->setObjectName(QStringLiteral("analysisFitAll"));
    xChoice_ = new QComboBox;
    xChoice_->setObjectName(QStringLiteral("analysisXAxis"));
    xChoice_->addItems({QStringLiteral("x: time (s)"), QStringLiteral("x: point")});
    auto* image = new QPushButton(QStringLiteral("Export image…"));
    image->setObjectName(QStringLiteral("analysisExportImage"));
    auto* stats = new QPushButton(QStringLiteral("Export statistics…"));
    stats->setObjectName(QStringLiteral("analysisExportStats"));
    auto* hint = new QLabel(
        QStringLiteral("Wheel: zoom · drag: pan · Shift+drag: zoom to box · drag a dashed line: "
                       "move cursor A or B"));
    hint->setEnabled(false);

    auto* tools = new QHBoxLayout;
    tools->addWidget(fit);
    tools->addWidget(xChoice_);
    tools->addWidget(image);
    tools->addWidget(stats);
    tools->addWidget(hint, 1);

    connect(fit, &QPushButton::clicked, this, &AnalysisWindow::fitAll);
    connect(xChoice_, &QComboBox::activated, this,
            [this](int index) { setXAxis(index == 0 ? XAxis::Seconds : XAxis::PointNumber); });
    connect(image, &QPushButton::clicked, this, &AnalysisWindow::exportImage);
    connect(stats, &QPushButton::clicked, this, &AnalysisWindow::exportStats);
    return tools;
}

// The plot with its legend beside it over the cursor values and the table.
QSplitter* AnalysisWindow::buildViews() {
    plot_ = new LanePlot;
    legend_ = new QListWidget;
    legend_->setObjectName(QStringLiteral("analysisLegend"));
    legend_->setMaximumWidth(140);
    auto* split = new QSplitter(Qt::Horizontal);
    split->addWidget(plot_);
    split->addWidget(legend_);
    split->setStretchFactor(0, 1);

    cursorText_ = new QLabel;
    cursorText_->setObjectName(QStringLiteral("analysisCursors"));
    table_ = new QTableWidget;
    table_->setObjectName(QStringLiteral("analysisStats"));
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();

    auto* below = new QWidget;
    auto* belowLayout = new QVBoxLayout(below);
    belowLayout->setContentsMargins(0, 0, 0, 0);
    belowLayout->addWidget(cursorText_);
    belowLayout->addWidget(table_);
    auto* stack = new QSplitter(Qt::Vertical);
    stack->addWidget(split);
    stack->addWidget(below);
    stack->setStretchFactor(0, 3);
    stack->setStretchFactor(1, 1);
    return stack;
}

void AnalysisWindow::connectViews() {
    connect(legend_, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        setTraceShown(legend_->row(item), item->checkState() == Qt::Checked);
    });
    connect(plot_, &LanePlot::cursorsMoved, this, [this] {
        cursorsPlaced_ = true;
        refreshTable();
    });
    // A zoom or a pan by the user stops the view following the run.
    connect(plot_, &QCustomPlot::mouseWheel, this, [this] { following_ = false; });
    connect(plot_, &QCustomPlot::mouseMove, this, [this](QMouseEvent* event) {
        if (event->buttons() != Qt::NoButton) {
            following_ = false;
        }
    });
}

void AnalysisWindow::showJournal(const JournalRun& journal, const QString& source) {
    model_ = RunModel::fromJournal(journal);
    following_ = true;
    cursorsPlaced_ = false;
    // A run whose points carry no times is read along its point numbers.
    const bool timed = std::any_of(journal.points.begin(), journal.points.end(),
                                   [](const StoredPoint& p) { return p.seconds.has_value(); });
    axis_ = timed || journal.points.empty() ? XAxis::Seconds : XAxis::PointNumber;
    setWindowTitle(source.isEmpty() ? QStringLiteral("Analysis")
                                    : QStringLiteral("Analysis — %1").arg(source));
    QStringList lines;
    for (const std::string& problem : journal.problems) {
        lines << QString::fromStdString(problem);
    }
    problems_->setText(QStringLiteral("Some of this journal could not be read:\n") +
                       lines.join(QLatin1Char('\n')));
    problems_->setVisible(!lines.isEmpty());
    showRun();
}

// Lanes, legend and table for the model as it now is.
void AnalysisWindow::showRun() {
    shown_.assign(model_.traces().size(), true);
    const QSignalBlocker quiet(legend_);
    legend_->clear();
    for (std::size_t t = 0; t < model_.traces().size(); ++t) {
        auto* item = new QListWidgetItem(traceLabel(model_.traces()[t]), legend_);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
        item->setForeground(LanePlot::traceColour(static_cast<int>(t)));
    }
    xChoice_->setCurrentIndex(axis_ == XAxis::Seconds ? 0 : 1);
    plot_->setRun(&model_, shown_, axis_);
    drawNow();
}

void AnalysisWindow::setXAxis(XAxis axis) {
    axis_ = axis;
    xChoice_->setCurrentIndex(axis_ == XAxis::Seconds ? 0 : 1);
    cursorsPlaced_ = false;
    following_ = true;
    plot_->setRun(&model_, shown_, axis_);
    drawNow();
}

void AnalysisWindow::setTraceShown(int trace, bool shown) {
    if (trace < 0 || static_cast<std::size_t>(trace) >= shown_.size()) {
        return;
    }
    shown_[static_cast<std::size_t>(trace)] = shown;
    if (auto* item = legend_->item(trace)) {
        const QSignalBlocker quiet(legend_);
        item->setCheckState(shown ? Qt::Checked : Qt::Unchecked);
    }
    plot_->setRun(&model_, shown_, axis_);
    drawNow();
}

void AnalysisWindow::fitAll() {
    following_ = true;
    plot_->fitAll();
    drawNow();
}

void AnalysisWindow::pointArrived() {
    if (sinceDraw_.elapsed() >= kLiveDrawMs) {
        drawNow();
    } else if (!drawLater_.isActive()) {
        drawLater_.start();
    }
}

void AnalysisWindow::drawNow() {
    drawLater_.stop();
    sinceDraw_.restart();
    if (following_) {
        plot_->fitAll();
    }
    // Until the user places them, the cursors span the whole run, so the
    // table gives the figures of every reading.
    if (!cursorsPlaced_) {
        const auto range = plot_->dataXRange();
        const QSignalBlocker quiet(plot_);
        plot_->setCursors(range ? range->lower : 0, range ? range->upper : 0);
    }
    refreshTable();
    plot_->replot();
}

}  // namespace tq
