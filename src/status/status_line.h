#pragma once

#include <QString>
#include <QUrl>
#include <functional>
#include <memory>
#include <string>

#include "engine/run_observer.h"
#include "panel/controls.h"
#include "status/status_model.h"

class QHBoxLayout;
class QPushButton;

namespace tq {

class Clock;

// The line along the bottom of the window: the link, the run, its pace,
// what went missing and where the data went, each a named label, and the
// reconnect button while the link is down and no run goes. It follows the
// run as an observer; the window tells it about the link and the files.
class StatusLine : public Frame, public RunObserver {
    Q_OBJECT
  public:
    static constexpr int kHeightPx = 26;

    StatusLine(QWidget* parent, Clock& clock, std::function<std::string(std::int32_t)> statusName);
    ~StatusLine() override;

    status::StatusModel& model() { return model_; }
    void setLink(status::LinkFacts facts) { model_.setLink(std::move(facts)); }
    void setJournalPath(const QString& path) { model_.setJournalPath(path); }
    void setWorkbookPath(const QString& path) { model_.setWorkbookPath(path); }

    void runStarted(const RunSetup& setup) override { model_.runStarted(setup); }
    void pointStarted(std::int32_t point) override { model_.pointStarted(point); }
    void readFailed(std::int32_t point, ReadFailure why, std::int32_t visaStatus) override {
        model_.readFailed(point, why, visaStatus);
    }
    void pointStored(const StoredPoint& point) override { model_.pointStored(point); }
    void runEnded(RunEnd how, std::int32_t pointsTaken) override {
        model_.runEnded(how, pointsTaken);
    }

    // A further button at the right end of the line.
    void addButton(QPushButton* button);

    // The folder a click on the files part opens: the workbook's, else the
    // journal's; empty when there is neither.
    QString folderToOpen() const;
    // How the folder is shown (the desktop's file manager by default).
    std::function<bool(const QUrl&)> openUrl;

    Label* statusLink = nullptr;
    Label* statusRun = nullptr;
    Label* statusPace = nullptr;
    Label* statusMissing = nullptr;
    Label* statusFile = nullptr;
    QPushButton* statusReconnect = nullptr;

  signals:
    void reconnectRequested();

  private:
    void refresh();
    void keepTicking();

    Clock& clock_;
    status::StatusModel model_;
    QHBoxLayout* layout_ = nullptr;
    int tickTimer_ = 0;
};

}  // namespace tq
