#pragma once

#include <QString>
#include <functional>
#include <string>

#include "engine/run_observer.h"
#include "status/link_facts.h"
#include "status/run_progress.h"

namespace tq {
class Clock;
}

namespace tq::status {

// What one part of the status line shows.
struct PartText {
    QString text;
    QString toolTip;
    bool highlighted = false;  // something the user should look at
};

// The status line without its widgets: the link, the run's progress and
// pace, what went missing, and where the data went, as texts. It follows
// the run as an observer and the link as the window tells it; changed()
// runs after anything that alters a text.
class StatusModel final : public RunObserver {
  public:
    // statusName turns a failed read's VISA status into its name.
    StatusModel(const Clock& clock, std::function<std::string(std::int32_t)> statusName);

    void setLink(LinkFacts facts);
    const LinkFacts& link() const { return link_; }
    void setJournalPath(const QString& path);
    void setWorkbookPath(const QString& path);
    const QString& journalPath() const { return journal_; }
    const QString& workbookPath() const { return workbook_; }

    void runStarted(const RunSetup& setup) override;
    void readFailed(std::int32_t point, ReadFailure why, std::int32_t visaStatus) override;
    void pointStored(const StoredPoint& point) override;
    void runEnded(RunEnd how, std::int32_t pointsTaken) override;

    const RunProgress& progress() const { return progress_; }
    bool runActive() const { return progress_.active(); }
    // The reconnect is offered while no run goes and the link is down.
    bool reconnectOffered() const { return !runActive() && mayReconnect(link_.state); }

    PartText linkPart() const;
    PartText runPart() const;
    PartText pacePart() const;
    PartText missingPart() const;
    PartText filesPart() const;

    std::function<void()> changed;

  private:
    void notify() const;

    const Clock& clock_;
    std::function<std::string(std::int32_t)> statusName_;
    LinkFacts link_;
    RunProgress progress_;
    QString journal_;
    QString workbook_;
};

// Durations as a user reads them: "0:07", "12:30", "1:02:03".
QString durationText(std::int64_t ms);
// A time per point: "0.05 s", "2.3 s", "75 s".
QString periodText(double ms);

}  // namespace tq::status
