#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <vector>

#include "analysis/run_model.h"
#include "engine/run_observer.h"

class QComboBox;
class QHBoxLayout;
class QLabel;
class QListWidget;
class QSplitter;
class QTableWidget;

namespace tq {

class LanePlot;

// The Analysis window: every trace of a run in its own lane, two cursors,
// the values at them and each trace's figures between them. It shows a
// journal read back, or follows a run live through its observer.
class AnalysisWindow : public QWidget {
    Q_OBJECT
  public:
    explicit AnalysisWindow(QWidget* parent = nullptr);
    ~AnalysisWindow() override;

    // A run read back from its journal; `problems` are the lines that could
    // not be read, shown above the plot.
    void showJournal(const JournalRun& journal, const QString& source);
    // Hand this to the run engine to follow a run as it goes.
    RunObserver& follower();

    LanePlot& plot() { return *plot_; }
    const RunModel& model() const { return model_; }
    XAxis xAxis() const { return axis_; }
    void setXAxis(XAxis axis);
    void setTraceShown(int trace, bool shown);
    void fitAll();

    // The plot as PNG or SVG (by the name's extension) and the figures
    // between the cursors as CSV. False with the reason in `error`.
    bool saveImage(const QString& path, QString* error);
    bool saveStatsCsv(const QString& path, QString* error);

  private:
    class Follower;
    friend class Follower;

    void buildControls();
    QHBoxLayout* buildTools();
    QSplitter* buildViews();
    void connectViews();
    void showRun();
    void refreshTable();
    void pointArrived();
    void drawNow();
    void exportImage();
    void exportStats();

    RunModel model_;
    XAxis axis_ = XAxis::Seconds;
    std::vector<bool> shown_;
    std::unique_ptr<Follower> follower_;
    // While true the view keeps the whole run in sight as points arrive;
    // a zoom or pan by the user ends it, "Fit all" brings it back.
    bool following_ = true;
    bool cursorsPlaced_ = false;
    QElapsedTimer sinceDraw_;
    QTimer drawLater_;

    LanePlot* plot_ = nullptr;
    QListWidget* legend_ = nullptr;
    QComboBox* xChoice_ = nullptr;
    QLabel* problems_ = nullptr;
    QLabel* cursorText_ = nullptr;
    QTableWidget* table_ = nullptr;
};

}  // namespace tq
