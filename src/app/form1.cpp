#include "app/form1.h"

#include <QCloseEvent>
#include <QPushButton>
#include <QShortcut>
#include <QShowEvent>

#include "analysis_view/analysis_window.h"
#include "app/exit_command.h"
#include "app/link_report.h"
#include "app/meter_initial.h"
#include "app/reconnect.h"
#include "app/show_hide.h"
#include "app/start_up.h"
#include "channels/channel_table.h"
#include "channels/run_parameters.h"
#include "display/math_controls.h"
#include "display/pointer_controls.h"
#include "display/scale_controls.h"
#include "display/trend_plot.h"
#include "export/save_panel.h"
#include "instrument/visa_types.h"
#include "panel/look.h"
#include "run/run_driver.h"
#include "status/status_line.h"
#include "store/record_store.h"

namespace tq {

namespace {

constexpr int kClientWidth = 15240;
constexpr int kClientHeight = 9570;

}  // namespace

Form1::Form1(Form1Services services, QWidget* parent)
    : QWidget(parent),
      clock_(services.clock),
      boxes_(services.boxes),
      options_(std::move(services.options)),
      endProgram_(std::move(services.endProgram)),
      session_(services.visa),
      store_(std::make_unique<RecordStore>()) {
    // Built in this order, and each controller's events connected in it: a
    // control with two handlers runs them in the order they were connected.
    buildWindow();
    buildChannelControls();
    buildRunControls();
    connectRunHooks();
    buildStartUpAndExit();
    buildLinkControls();
    buildAnalysis();
}

void Form1::buildWindow() {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString::fromUtf8(kForm1Caption));
    // The status line adds to the designed client area below it; nothing
    // designed moves.
    setFixedSize(twipsToPixels(kClientWidth), twipsToPixels(kClientHeight) + StatusLine::kHeightPx);
    QPalette navy = palette();
    navy.setColor(QPalette::Window, look::kWindow);
    setPalette(navy);
    setAutoFillBackground(true);

    buildPanel(this, panel_);
    connectShowHide(panel_);
    statusLine_ =
        new StatusLine(this, clock_, [](std::int32_t status) { return visa::statusName(status); });
    statusLine_->setGeometry(0, twipsToPixels(kClientHeight), twipsToPixels(kClientWidth),
                             StatusLine::kHeightPx);
}

// Channel set-up and the scale.
void Form1::buildChannelControls() {
    scaleControls_ = std::make_unique<ScaleControls>(panel_, clock_, scale_);
    channelTable_ = std::make_unique<ChannelTable>(panel_, clock_, setup_, session_.ScanCardPresent,
                                                   *scaleControls_);
    runParameters_ = std::make_unique<RunParameters>(
        panel_, clock_, setup_, session_.ScanCardPresent, *channelTable_, boxes_);
    trendPlot_ = std::make_unique<TrendPlot>(panel_, clock_, scale_, *store_);
    scaleControls_->connectEvents();
    channelTable_->connectEvents();
    runParameters_->connectEvents();
}

// The pointer, the math row, the run and the save panel.
void Form1::buildRunControls() {
    pointer_ = std::make_unique<PointerControls>(panel_, clock_, scale_, *store_, *trendPlot_);
    math_ = std::make_unique<MathControls>(panel_);
    runDriver_ = std::make_unique<RunDriver>(panel_, clock_, session_, scale_, *scaleControls_,
                                             *store_, *trendPlot_, boxes_);
    savePanel_ = std::make_unique<SavePanel>(
        panel_, clock_, *store_, boxes_,
        SaveSettings{.saveDir = options_.saveDir, .announceSaved = [this](const QString& path) {
                         SaveSettings::printSavedPath(path);
                         statusLine_->setWorkbookPath(path);
                     }});
}

// What the run and the plot call in the other controllers, then their events.
void Form1::connectRunHooks() {
    trendPlot_->setRunMarkerHook(
        [this](std::int32_t last, RunMode mode) { pointer_->runPointer(last, mode); });
    runDriver_->hooks.runStarting = [this] { savePanel_->clearSavedPath(); };
    runDriver_->hooks.onRunEnd = [this] { pointer_->onRunEnd(); };
    runDriver_->hooks.runFinished = [this] { exit_->runFinished(); };
    runIsGoing_ = [this] { return runDriver_->isRunning(); };
    stopRun_ = [this] { runDriver_->requestStop(); };
    pointer_->connectEvents();
    math_->connectEvents();
    runDriver_->connectEvents();
    savePanel_->connectEvents();
}

void Form1::buildStartUpAndExit() {
    initial_ = std::make_unique<MeterInitial>(panel_, clock_, session_, boxes_);
    exit_ = std::make_unique<ExitCommand>(
        panel_, session_, boxes_,
        ExitHooks{.isRunning = [this] { return runIsGoing_ && runIsGoing_(); },
                  .requestStop =
                      [this] {
                          if (stopRun_) {
                              stopRun_();
                          }
                      },
                  .endProgram =
                      [this] {
                          if (endProgram_) {
                              endProgram_();
                          }
                      }});
    exit_->connectEvents();
    startUp_ = std::make_unique<StartUp>(
        panel_, clock_, session_, *initial_, scale_, setup_,
        StartUpHooks{.LayoutGrid = [this] { trendPlot_->LayoutGrid(); },
                     .DrawScaleLabels = [this] { scaleControls_->DrawScaleLabels(); },
                     .colourLegend = [this] { trendPlot_->colourLegend(); },
                     .CboScale_Click = [this](int Index) { scaleControls_->CboScale_Click(Index); },
                     .programEnding = [this] { return exit_->ended(); }});
}

// The link as the status line shows it, and its Reconnect.
void Form1::buildLinkControls() {
    linkReport_ = std::make_unique<LinkReport>(*statusLine_, boxes_, options_.simulate);
    reconnect_ =
        std::make_unique<Reconnect>(panel_, clock_, session_, *initial_, *linkReport_,
                                    ReconnectHooks{.runIsGoing = [this] { return runIsGoing(); },
                                                   .afterInitial =
                                                       [this] {
                                                           trendPlot_->colourLegend();
                                                           scaleControls_->CboScale_Click(0);
                                                       }});
    QObject::connect(statusLine_, &StatusLine::reconnectRequested, this, &Form1::reconnect);
    addRunObserver(statusLine_);
}

// The Analysis window follows every run; Ctrl+L and a button on the status
// line show it.
void Form1::buildAnalysis() {
    analysis_ = std::make_unique<AnalysisWindow>();
    addRunObserver(&analysis_->follower());
    auto* analysisKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_L), this);
    analysisKey->setObjectName(QStringLiteral("analysisShortcut"));
    connect(analysisKey, &QShortcut::activated, this, &Form1::showAnalysis);
    auto* analysisButton = new QPushButton(QStringLiteral("Analysis"));
    analysisButton->setObjectName(QStringLiteral("statusAnalysis"));
    analysisButton->setFont(look::arial(8.25, true));
    analysisButton->setToolTip(
        QStringLiteral("Every channel on its own scale, with cursors (Ctrl+L)"));
    statusLine_->addButton(analysisButton);
    connect(analysisButton, &QPushButton::clicked, this, &Form1::showAnalysis);
}

void Form1::showAnalysis() {
    analysis_->show();
    analysis_->raise();
    analysis_->activateWindow();
}

Form1::~Form1() = default;

void Form1::Initial() {
    initial_->Initial();
    linkReport_->afterInitial(initial_->outcome());
}

void Form1::addRunObserver(RunObserver* observer) {
    runDriver_->addObserver(observer);
}

void Form1::runStartUp() {
    const bool first = !startUp_->started();
    startUp_->run();
    if (first) {
        linkReport_->afterInitial(initial_->outcome());
    }
}

void Form1::reconnect() {
    reconnect_->run();
}

void Form1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // The start-up runs from the event loop once the window is up, so the
    // message frame is painted over a finished window.
    if (!startUpQueued_ && !startUp_->started()) {
        startUpQueued_ = true;
        QMetaObject::invokeMethod(this, &Form1::runStartUp, Qt::QueuedConnection);
    }
}

void Form1::closeEvent(QCloseEvent* event) {
    if (exit_->closeRequested()) {
        event->accept();
    } else {
        event->ignore();
    }
}

}  // namespace tq
