#include "journal/journal_writer.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <system_error>

#include <unistd.h>

#include "common/clock.h"
#include "common/number_text.h"
#include "journal/journal_file.h"
#include "journal/journal_format.h"

namespace tq {
namespace {

constexpr int kMathIndex = 11;

void appendHead(std::string& text, std::string_view key, std::string_view value) {
    text.append("# ").append(key).append(":");
    if (!value.empty()) {
        text.append(" ").append(journal::oneLine(value));
    }
    text.push_back('\n');
}

void appendValue(std::string& line, const std::optional<double>& value) {
    line.push_back(',');
    // The store keeps nothing that is not finite; neither does the journal.
    if (value && std::isfinite(*value)) {
        line.append(roundTripText(*value));
    }
}

// "2026-12-06T15:27:02+01:00": the offset always written, "+00:00" for UTC.
std::string isoWithOffset(const QDateTime& t) {
    const int offset = t.offsetFromUtc();
    const int minutes = std::abs(offset) / 60;
    return (t.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")) +
            QString::asprintf("%c%02d:%02d", offset < 0 ? '-' : '+', minutes / 60, minutes % 60))
        .toStdString();
}

}  // namespace

JournalWriter::JournalWriter(Clock& clock, JournalSettings settings)
    : clock_(clock), settings_(std::move(settings)) {}

JournalWriter::~JournalWriter() {
    stopSyncTimer();
    close();
}

void JournalWriter::runStarted(const RunSetup& setup) {
    stopSyncTimer();
    close();
    columns_.clear();
    for (const RunChannelSetup& channel : setup.channels) {
        if (channel.channel >= 1 && channel.channel <= 10 &&
            std::find(columns_.begin(), columns_.end(), channel.channel) == columns_.end()) {
            columns_.push_back(channel.channel);
        }
    }
    if (setup.mathFormula) {
        columns_.push_back(kMathIndex);
    }

    const QDateTime started = settings_.now();
    OpenedJournal journal = createJournalFile(settings_.root, started, setup.serial);
    path_ = journal.path;
    if (!journal.fd.valid()) {
        fail(journal.reason);
        return;
    }
    fd_ = std::move(journal.fd);
    if (settings_.opened) {
        settings_.opened(path_);
    }
    if (writeAll(headText(setup, started))) {
        sync();
    }
}

std::string JournalWriter::headText(const RunSetup& setup, const QDateTime& started) const {
    using namespace journal;
    std::string text;
    appendHead(text, kProgram, settings_.program);
    appendHead(text, kStarted, isoWithOffset(started));
    appendHead(text, kIdentity, setup.identity);
    appendHead(text, kResource, setup.resource);
    appendHead(text, kSerial, setup.serial);
    appendHead(text, kMode, modeText(setup.mode));
    for (const RunChannelSetup& c : setup.channels) {
        appendHead(text, channelKey(c.channel, kFunction), c.function);
        appendHead(text, channelKey(c.channel, kRange), c.rangeText);
        if (c.rangeValue) {
            appendHead(text, channelKey(c.channel, kRangeValue), roundTripText(*c.rangeValue));
        }
        if (!c.filter.empty()) {
            appendHead(text, channelKey(c.channel, kFilter), c.filter);
        }
    }
    appendHead(text, kFilterBand, std::to_string(setup.band));
    appendHead(text, kTriggerDelay, setup.triggerDelay);
    appendHead(text, kScanTime, setup.scanTime);
    appendHead(text, kInterval, setup.interval);
    appendHead(text, kRecordLength, std::to_string(setup.recordLength));
    appendHead(text, kPointsPerScreen, std::to_string(setup.pointsPerScreen));
    if (setup.mathFormula) {
        appendHead(text, kMath, *setup.mathFormula);
    }
    if (settings_.rowFunctions) {
        std::string functions;
        for (const std::string& f : settings_.rowFunctions()) {
            functions.append(functions.empty() ? "" : ",").append(f);
        }
        appendHead(text, kRowFunctions, functions);
    }
    text.append(kPointColumn).append(",").append(kTimeColumn);
    for (const int column : columns_) {
        text.append(",").append(column == kMathIndex ? std::string(kMathColumn)
                                                     : "CH" + std::to_string(column));
    }
    text.push_back('\n');
    return text;
}

void JournalWriter::pointStored(const StoredPoint& point) {
    if (!fd_.valid()) {
        return;
    }
    line_.assign(std::to_string(point.point));
    appendValue(line_, point.seconds);
    for (const int column : columns_) {
        appendValue(line_, point.values[static_cast<std::size_t>(column)]);
    }
    line_.push_back('\n');
    if (!writeAll(line_)) {
        return;
    }
    unsynced_ = true;
    if (syncTimer_ != 0) {
        return;
    }
    const std::int64_t sinceSync = clock_.tickMs() - lastSyncMs_;
    if (sinceSync >= kSyncIntervalMs) {
        sync();
    } else {
        syncTimer_ = clock_.startTimer(kSyncIntervalMs - sinceSync, [this] {
            syncTimer_ = 0;
            sync();
        });
    }
}

void JournalWriter::runEnded(RunEnd how, std::int32_t pointsTaken) {
    stopSyncTimer();
    if (!fd_.valid()) {
        return;
    }
    std::string line;
    appendHead(line, journal::kEnd,
               std::string(journal::endText(how)) + ", " + std::to_string(pointsTaken) + " points");
    if (writeAll(line)) {
        sync();
    }
    close();
}

void JournalWriter::sync() {
    lastSyncMs_ = clock_.tickMs();
    unsynced_ = false;
    if (!fd_.valid()) {
        return;
    }
    ++syncCount_;
    if (::fdatasync(fd_.get()) != 0) {
        fail("cannot write " + path_.toStdString() + ": " + std::system_category().message(errno));
    }
}

bool JournalWriter::writeAll(const std::string& text) {
    std::string_view rest = text;
    while (!rest.empty()) {
        const ssize_t n = ::write(fd_.get(), rest.data(), rest.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            const int error = n < 0 ? errno : ENOSPC;
            fail("cannot write " + path_.toStdString() + ": " +
                 std::system_category().message(error));
            return false;
        }
        rest.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

void JournalWriter::fail(const std::string& reason) {
    stopSyncTimer();
    fd_.reset();
    unsynced_ = false;
    if (settings_.failed) {
        settings_.failed(QString::fromStdString(reason));
    }
}

void JournalWriter::close() {
    if (unsynced_) {
        sync();
    }
    fd_.reset();
    unsynced_ = false;
}

void JournalWriter::stopSyncTimer() {
    if (syncTimer_ != 0) {
        clock_.stopTimer(syncTimer_);
        syncTimer_ = 0;
    }
}

}  // namespace tq
