#include "status/status_model.h"

#include <QFileInfo>
#include <QStringList>
#include <cmath>

#include "common/number_text.h"

namespace tq::status {
namespace {

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

// "VARANDEL,TQ4700,TW00000042,2.01": the model and serial fields, "TQ4700
// TW00000042", or the serial label alone when no identity came.
QString meterName(const LinkFacts& link) {
    const QStringList fields = qs(link.identity).trimmed().split(QLatin1Char(','));
    if (fields.size() >= 3) {
        return fields[1].trimmed() + QLatin1Char(' ') + fields[2].trimmed();
    }
    return link.serial.empty() ? QStringLiteral("meter") : qs(link.serial);
}

QString withStatus(const QString& text, const LinkFacts& link) {
    return link.statusName.empty() ? text
                                   : QStringLiteral("%1 (%2)").arg(text, qs(link.statusName));
}

QString linkToolTip(const LinkFacts& link) {
    QStringList lines;
    if (!link.resource.empty()) {
        lines << QStringLiteral("Resource: %1").arg(qs(link.resource));
    }
    if (!link.identity.empty()) {
        lines << QStringLiteral("Identity: %1").arg(qs(link.identity).trimmed());
    }
    if (!link.reason.empty()) {
        lines << qs(link.reason);
    }
    if (mayReconnect(link.state)) {
        lines << QStringLiteral("Reconnect looks for the meter again.");
    }
    return lines.join(QLatin1Char('\n'));
}

QString pointOf(const RunProgress& run) {
    return QStringLiteral("point %1 / %2").arg(run.pointsStored()).arg(run.setup().recordLength);
}

QString endedText(RunEnd how, const RunProgress& run) {
    switch (how) {
        case RunEnd::Completed:
            return QStringLiteral("Completed: %1 points in %2")
                .arg(run.pointsStored())
                .arg(durationText(run.elapsedMs()));
        case RunEnd::Stopped:
            return QStringLiteral("Stopped by the user at ") + pointOf(run);
        case RunEnd::MeterSilent:
            return QStringLiteral("Meter stopped answering at ") + pointOf(run);
        case RunEnd::ConnectionLost:
            return QStringLiteral("Connection lost at ") + pointOf(run);
        case RunEnd::ScanNeverDone:
            return QStringLiteral("Scan never completed at ") + pointOf(run);
    }
    return {};
}

QString failureBreakdown(const RunProgress& run) {
    QStringList lines;
    lines << QStringLiteral("Readings missing: %1").arg(run.missingReadings());
    for (int channel = 1; channel <= 10; ++channel) {
        if (const std::int32_t n = run.missingByChannel()[channel]; n > 0) {
            lines << QStringLiteral("  CH%1: %2").arg(channel).arg(n);
        }
    }
    lines
        << QStringLiteral("Time-outs: %1").arg(run.failures(ReadFailure::TimedOut))
        << QStringLiteral("Other link errors: %1").arg(run.failures(ReadFailure::LinkError))
        << QStringLiteral("Replies without a reading: %1").arg(run.failures(ReadFailure::NoNumber));
    return lines.join(QLatin1Char('\n'));
}

}  // namespace

QString durationText(std::int64_t ms) {
    const std::int64_t seconds = std::max<std::int64_t>(ms, 0) / 1000;
    const std::int64_t h = seconds / 3600;
    const std::int64_t m = seconds / 60 % 60;
    const std::int64_t s = seconds % 60;
    const QString mmss = QStringLiteral("%1:%2").arg(m).arg(s, 2, 10, QLatin1Char('0'));
    return h > 0 ? QStringLiteral("%1:%2:%3")
                       .arg(h)
                       .arg(m, 2, 10, QLatin1Char('0'))
                       .arg(s, 2, 10, QLatin1Char('0'))
                 : mmss;
}

QString periodText(double ms) {
    const double s = ms / 1000;
    const int decimals = s < 10 ? 2 : s < 60 ? 1 : 0;
    return QStringLiteral("%1 s").arg(s, 0, 'f', decimals);
}

StatusModel::StatusModel(const Clock& clock, std::function<std::string(std::int32_t)> statusName)
    : clock_(clock), statusName_(std::move(statusName)), progress_(clock) {}

void StatusModel::notify() const {
    if (changed) {
        changed();
    }
}

void StatusModel::setLink(LinkFacts facts) {
    link_ = std::move(facts);
    notify();
}

void StatusModel::setJournalPath(const QString& path) {
    journal_ = path;
    notify();
}

void StatusModel::setWorkbookPath(const QString& path) {
    workbook_ = path;
    notify();
}

void StatusModel::runStarted(const RunSetup& setup) {
    progress_.runStarted(setup);
    workbook_.clear();
    notify();
}

void StatusModel::readFailed(std::int32_t point, ReadFailure why, std::int32_t visaStatus) {
    progress_.readFailed(point, why, visaStatus);
    notify();
}

void StatusModel::pointStored(const StoredPoint& point) {
    progress_.pointStored(point);
    notify();
}

void StatusModel::runEnded(RunEnd how, std::int32_t pointsTaken) {
    progress_.runEnded(how, pointsTaken);
    // A run that ends on the link says what became of it.
    if (how == RunEnd::MeterSilent || how == RunEnd::ConnectionLost) {
        LinkFacts lost = link_;
        lost.state = how == RunEnd::ConnectionLost ? LinkState::Lost : LinkState::Silent;
        const std::int32_t status = progress_.lastFailureStatus();
        lost.statusName = status != 0 && statusName_ ? statusName_(status) : std::string();
        lost.reason.clear();
        link_ = lost;
    }
    notify();
}

PartText StatusModel::linkPart() const {
    const LinkFacts& l = link_;
    const QString resource = qs(l.resource);
    PartText part;
    part.toolTip = linkToolTip(l);
    part.highlighted = l.state != LinkState::Simulated && l.state != LinkState::Connected &&
                       l.state != LinkState::Starting;
    switch (l.state) {
        case LinkState::Starting:
            part.text = QStringLiteral("Looking for the meter");
            break;
        case LinkState::Simulated:
            part.text = QStringLiteral("Simulated %1").arg(meterName(l));
            break;
        case LinkState::Connected:
            part.text = QStringLiteral("Connected: %1").arg(meterName(l));
            break;
        case LinkState::WrongMeter:
            part.text = QStringLiteral("Not a TQ4700: %1").arg(resource);
            break;
        case LinkState::NoVisa:
            part.text = withStatus(QStringLiteral("No VISA library"), l);
            break;
        case LinkState::NoMeter:
            // The status first: a long resource name may not fit.
            part.text = withStatus(QStringLiteral("No meter"), l);
            if (!resource.isEmpty()) {
                part.text += QStringLiteral(": cannot open %1").arg(resource);
            }
            break;
        case LinkState::NoPermission:
            part.text = withStatus(QStringLiteral("No permission to open the meter"), l);
            break;
        case LinkState::Silent:
            part.text = withStatus(QStringLiteral("No answer"), l);
            break;
        case LinkState::Lost:
            part.text = withStatus(QStringLiteral("Link lost"), l);
            break;
    }
    return part;
}

PartText StatusModel::runPart() const {
    const RunProgress& run = progress_;
    if (!run.started()) {
        return {QStringLiteral("No run yet"), {}, false};
    }
    if (run.active()) {
        QString text = QStringLiteral("Point %1 / %2 · %3 elapsed")
                           .arg(run.pointsStored())
                           .arg(run.setup().recordLength)
                           .arg(durationText(run.elapsedMs()));
        if (const auto left = run.timeLeftMs()) {
            text += QStringLiteral(" · %1 left").arg(durationText(*left));
        }
        return {text, QStringLiteral("Time left is estimated from the pace so far."), false};
    }
    const RunEnd how = *run.end();
    return {.text = endedText(how, run),
            .toolTip = QStringLiteral("%1 points taken in %2")
                           .arg(run.pointsStored())
                           .arg(durationText(run.elapsedMs())),
            .highlighted = how != RunEnd::Completed && how != RunEnd::Stopped};
}

PartText StatusModel::pacePart() const {
    const RunProgress& run = progress_;
    if (!run.started()) {
        return {QStringLiteral("Pace: no run yet"), {}, false};
    }
    const double interval = Val(run.setup().interval) * 1000;
    QString text = QStringLiteral("Interval %1").arg(periodText(interval));
    QString tip = QStringLiteral("Interval asked for between points: %1").arg(periodText(interval));
    if (const auto mean = run.meanPeriodMs()) {
        const QString slowest = periodText(static_cast<double>(*run.slowestPeriodMs()));
        text += QStringLiteral(" · per point %1, max %2").arg(periodText(*mean), slowest);
        tip += QStringLiteral("\nTime between points, mean so far: %1\nSlowest point: %2")
                   .arg(periodText(*mean), slowest);
    }
    tip +=
        QStringLiteral("\nThe meter's scan and settling times and any pause add to the interval.");
    return {text, tip, false};
}

PartText StatusModel::missingPart() const {
    const RunProgress& run = progress_;
    const std::int32_t missing = run.missingReadings();
    const std::int32_t timeOuts = run.failures(ReadFailure::TimedOut);
    const bool any = missing > 0 || timeOuts > 0 || run.failures(ReadFailure::LinkError) > 0 ||
                     run.failures(ReadFailure::NoNumber) > 0;
    QString text = QStringLiteral("Missing %1").arg(missing);
    if (timeOuts > 0) {
        text += QStringLiteral(" · time-outs %1").arg(timeOuts);
    }
    return {.text = text, .toolTip = failureBreakdown(run), .highlighted = any};
}

PartText StatusModel::filesPart() const {
    if (journal_.isEmpty() && workbook_.isEmpty()) {
        return {QStringLiteral("No files yet"), {}, false};
    }
    QStringList shown;
    QStringList full;
    if (!journal_.isEmpty()) {
        shown << QStringLiteral("Journal %1").arg(QFileInfo(journal_).fileName());
        full << QStringLiteral("Journal: %1").arg(journal_);
    }
    if (!workbook_.isEmpty()) {
        shown << QStringLiteral("Saved %1").arg(QFileInfo(workbook_).fileName());
        full << QStringLiteral("Workbook: %1").arg(workbook_);
    }
    full << QStringLiteral("Click to open the folder.");
    return {shown.join(QStringLiteral(" · ")), full.join(QLatin1Char('\n')), false};
}

}  // namespace tq::status
