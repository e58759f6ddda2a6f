#pragma once

#include <QWidget>
#include <functional>
#include <memory>

#include "app/options.h"
#include "channels/channel_setup_state.h"
#include "instrument/session.h"
#include "panel/panel.h"
#include "rules/scale.h"

namespace tq {

class AnalysisWindow;
class ChannelTable;
class Clock;
class ExitCommand;
class LinkReport;
class MessageBoxes;
class MathControls;
class MeterInitial;
class PointerControls;
class Reconnect;
class RecordStore;
class RunObserver;
class RunDriver;
class RunParameters;
class SavePanel;
class ScaleControls;
class StartUp;
class StatusLine;
class TrendPlot;

namespace visa {
class VisaApi;
}

// The window's caption, spelt as the product spells it.
inline constexpr const char* kForm1Caption = "TQ4700 Scan  Mrasure Software V1.01 (Firmware 2.0x)";

// What the window gets from the program that runs it.
struct Form1Services {
    Clock& clock;  // every pause and yield; the simulated meter runs on it too
    MessageBoxes& boxes;
    visa::VisaApi& visa;  // the link to the meter
    Options options;
    // Ends the program once Exit has released the meter.
    std::function<void()> endProgram;
};

// The front panel's one window: a fixed navy client area holding every
// control of the Panel. It owns the state the handlers share (the session,
// the scales, the channel set-up, the record store) and the controllers
// whose handlers its controls run. On first showing it runs the start-up.
class Form1 : public QWidget {
    Q_OBJECT
  public:
    explicit Form1(Form1Services services, QWidget* parent = nullptr);
    ~Form1() override;

    Panel& panel() { return panel_; }
    const Panel& panel() const { return panel_; }
    Clock& clock() { return clock_; }
    const Options& options() const { return options_; }

    // Shared state.
    InstrumentSession& session() { return session_; }
    ScaleState& scale() { return scale_; }
    ChannelSetupState& channelSetup() { return setup_; }
    RecordStore& store() { return *store_; }

    // Controllers.
    ScaleControls& scaleControls() { return *scaleControls_; }
    ChannelTable& channelTable() { return *channelTable_; }
    RunParameters& runParameters() { return *runParameters_; }
    TrendPlot& trendPlot() { return *trendPlot_; }
    PointerControls& pointer() { return *pointer_; }
    MathControls& math() { return *math_; }
    RunDriver& runDriver() { return *runDriver_; }
    SavePanel& savePanel() { return *savePanel_; }
    StartUp& startUp() { return *startUp_; }
    ExitCommand& exitCommand() { return *exit_; }
    // The line under the designed client area.
    StatusLine& statusLine() { return *statusLine_; }
    // The Analysis window (Ctrl+L): a window of its own, built with the
    // front panel so it follows every run from its start.
    AnalysisWindow& analysis() { return *analysis_; }
    void showAnalysis();

    // The window's public method: opens, identifies and probes the meter.
    void Initial();
    // The start-up sequence; the first showing runs it, later calls do
    // nothing.
    void runStartUp();
    // Looks for the meter again (the status line's Reconnect); nothing
    // while a run goes.
    void reconnect();

    // Whether a run is going, and the request that ends it after the point
    // in hand (control scripts wait for a run and stop it before leaving).
    bool runIsGoing() const { return runIsGoing_ && runIsGoing_(); }
    // Told of every run's events (start, points, failed reads, end); the
    // observer must outlive the window's runs.
    void addRunObserver(RunObserver* observer);

    void requestRunStop() {
        if (stopRun_) {
            stopRun_();
        }
    }

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    // The constructor's steps, in its order.
    void buildWindow();
    void buildChannelControls();
    void buildRunControls();
    void connectRunHooks();
    void buildStartUpAndExit();
    void buildLinkControls();
    void buildAnalysis();

    Clock& clock_;
    MessageBoxes& boxes_;
    Options options_;
    std::function<void()> endProgram_;

    Panel panel_;
    InstrumentSession session_;
    ScaleState scale_;
    ChannelSetupState setup_;
    std::unique_ptr<RecordStore> store_;

    std::unique_ptr<ScaleControls> scaleControls_;
    std::unique_ptr<ChannelTable> channelTable_;
    std::unique_ptr<RunParameters> runParameters_;
    std::unique_ptr<TrendPlot> trendPlot_;
    std::unique_ptr<PointerControls> pointer_;
    std::unique_ptr<MathControls> math_;
    std::unique_ptr<RunDriver> runDriver_;
    std::unique_ptr<SavePanel> savePanel_;
    std::unique_ptr<MeterInitial> initial_;
    std::unique_ptr<StartUp> startUp_;
    std::unique_ptr<ExitCommand> exit_;
    StatusLine* statusLine_ = nullptr;  // a child widget
    std::unique_ptr<LinkReport> linkReport_;
    std::unique_ptr<Reconnect> reconnect_;
    std::unique_ptr<AnalysisWindow> analysis_;

    // A run's state as Exit needs it, set where the run driver is built.
    std::function<bool()> runIsGoing_;
    std::function<void()> stopRun_;

    bool startUpQueued_ = false;
};

}  // namespace tq
