#pragma once

#include <QDateTime>
#include <QString>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/unique_fd.h"
#include "engine/run_observer.h"

namespace tq {

class Clock;

struct JournalSettings {
    // The folder whose YYYY-MM-DD sub-folders take the journals.
    QString root;
    std::string program;  // "tq4700 1.0.1"
    // The wall clock of the "started" line and the file name.
    std::function<QDateTime()> now = [] { return QDateTime::currentDateTime(); };
    // The ten channel rows' function texts as the window shows them when
    // the run starts, for the workbook's column titles; optional.
    std::function<std::vector<std::string>()> rowFunctions;
    // Told the path when a run's journal is created.
    std::function<void(const QString& path)> opened;
    // Told once per run when its journal cannot be created or written; the
    // run goes on without it.
    std::function<void(const QString& reason)> failed;
};

// Every run on disk as it happens: the set-up first, then one row per point
// in a single write() as the point is stored, and the way the run ended.
// The file reaches the disk at most once a second (a timer on the run's
// clock catches the last rows of a burst) and at the end, so a crash loses
// at most the last second and never tears a row before the last one.
class JournalWriter final : public RunObserver {
  public:
    static constexpr std::int64_t kSyncIntervalMs = 1000;

    JournalWriter(Clock& clock, JournalSettings settings);
    ~JournalWriter() override;
    JournalWriter(const JournalWriter&) = delete;
    JournalWriter& operator=(const JournalWriter&) = delete;

    void runStarted(const RunSetup& setup) override;
    void pointStored(const StoredPoint& point) override;
    void runEnded(RunEnd how, std::int32_t pointsTaken) override;

    // The latest run's journal; empty before the first.
    const QString& path() const { return path_; }
    // Whether the latest run's journal is being written (false once it
    // failed or the run ended).
    bool writing() const { return fd_.valid(); }
    // Syncs the file to disk (the timer's job; public for the benchmark).
    void sync();
    // How often the file went to disk, for the once-a-second rule.
    int syncCount() const { return syncCount_; }

  private:
    std::string headText(const RunSetup& setup, const QDateTime& started) const;
    // The whole text in one write(); false (and the journal quiet) on error.
    bool writeAll(const std::string& text);
    void fail(const std::string& reason);
    void close();
    void stopSyncTimer();

    Clock& clock_;
    JournalSettings settings_;
    UniqueFd fd_;
    QString path_;
    std::vector<int> columns_;  // StoredPoint value index of each reading column
    std::string line_;          // reused for every row
    bool unsynced_ = false;
    std::int64_t lastSyncMs_ = 0;
    int syncTimer_ = 0;
    int syncCount_ = 0;
};

}  // namespace tq
