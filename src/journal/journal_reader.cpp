#include "journal/journal_reader.h"

#include <QFile>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>
#include <iterator>
#include <sstream>

#include "journal/journal_format.h"

namespace tq {
namespace {

using namespace std::string_view_literals;

constexpr std::string_view kHeadPrefix = "# ";
constexpr std::string_view kKeySeparator = ": ";
constexpr int kMathIndex = 11;

std::vector<std::string_view> splitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = line.find(',', start);
        fields.push_back(line.substr(start, comma - start));
        if (comma == std::string_view::npos) {
            return fields;
        }
        start = comma + 1;
    }
}

template <typename T>
std::optional<T> wholeNumber(std::string_view text) {
    T value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return value;
}

// An empty field is no reading; so is a number a store cannot hold.
bool readValue(std::string_view field, std::optional<double>& value) {
    if (field.empty()) {
        value.reset();
        return true;
    }
    const std::optional<double> v = wholeNumber<double>(field);
    if (!v) {
        return false;
    }
    value = std::isfinite(*v) ? v : std::nullopt;
    return true;
}

class Reader {
  public:
    JournalRun read(std::string_view text) {
        std::size_t lineNumber = 0;
        while (!text.empty()) {
            ++lineNumber;
            const std::size_t end = text.find('\n');
            if (end == std::string_view::npos) {
                problem(lineNumber, "cut short (no line end)");
                break;
            }
            std::string_view line = text.substr(0, end);
            text.remove_prefix(end + 1);
            if (line.ends_with('\r')) {
                line.remove_suffix(1);
            }
            readLine(lineNumber, line);
        }
        if (!headerSeen_) {
            run_.problems.push_back("no header row (point,time_s,...)");
        }
        fillSetup();
        return std::move(run_);
    }

  private:
    void problem(std::size_t line, const std::string& what) {
        run_.problems.push_back("line " + std::to_string(line) + ": " + what);
    }

    void readLine(std::size_t number, std::string_view line) {
        if (line.empty() || line == "#"sv) {
            return;
        }
        if (line.starts_with(kHeadPrefix)) {
            readComment(number, line.substr(kHeadPrefix.size()));
        } else if (!headerSeen_) {
            readHeader(number, line);
        } else if (columnsReadable_) {
            readRow(number, line);
        }
    }

    void readComment(std::size_t number, std::string_view body) {
        const std::size_t colon = body.find(kKeySeparator);
        if (colon == std::string_view::npos) {
            // A trailing "key:" with nothing after it.
            if (body.ends_with(':')) {
                run_.meta.emplace_back(body.substr(0, body.size() - 1), std::string());
                return;
            }
            problem(number, "not a \"key: value\" line");
            return;
        }
        const std::string_view key = body.substr(0, colon);
        const std::string_view value = body.substr(colon + kKeySeparator.size());
        if (headerSeen_ && key == journal::kEnd) {
            readEnd(number, value);
            return;
        }
        run_.meta.emplace_back(key, value);
    }

    // "completed, 120 points"
    void readEnd(std::size_t number, std::string_view value) {
        const std::size_t comma = value.rfind(", ");
        const std::string_view how = value.substr(0, comma);
        run_.end = journal::endFrom(how);
        if (!run_.end) {
            problem(number, "unknown end \"" + std::string(how) + "\"");
        }
        if (comma != std::string_view::npos) {
            std::string_view count = value.substr(comma + 2);
            if (count.ends_with(" points"sv)) {
                count.remove_suffix(7);
            }
            run_.pointsTaken = wholeNumber<std::int32_t>(count);
        }
    }

    void readHeader(std::size_t number, std::string_view line) {
        const std::vector<std::string_view> fields = splitFields(line);
        if (fields.size() < 2 || fields[0] != journal::kPointColumn ||
            fields[1] != journal::kTimeColumn) {
            problem(number, "neither a head line nor the header row");
            return;
        }
        headerSeen_ = true;
        for (std::size_t i = 2; i < fields.size(); ++i) {
            const std::string_view name = fields[i];
            std::optional<int> channel;
            if (name.starts_with("CH")) {
                channel = wholeNumber<int>(name.substr(2));
            }
            if (name == journal::kMathColumn && !run_.hasMath) {
                run_.hasMath = true;
                columns_.push_back(kMathIndex);
            } else if (channel && *channel >= 1 && *channel <= 10 && !run_.hasMath &&
                       std::find(columns_.begin(), columns_.end(), *channel) == columns_.end()) {
                run_.channels.push_back(*channel);
                columns_.push_back(*channel);
            } else {
                problem(number, "unknown column \"" + std::string(name) + "\"; no row can be read");
                columnsReadable_ = false;
                return;
            }
        }
    }

    void readRow(std::size_t number, std::string_view line) {
        const std::vector<std::string_view> fields = splitFields(line);
        if (fields.size() != columns_.size() + 2) {
            problem(number, std::to_string(fields.size()) + " fields, expected " +
                                std::to_string(columns_.size() + 2));
            return;
        }
        StoredPoint point;
        const std::optional<std::int32_t> index = wholeNumber<std::int32_t>(fields[0]);
        if (!index || *index < 1) {
            problem(number, "bad point number \"" + std::string(fields[0]) + "\"");
            return;
        }
        point.point = *index;
        if (!readValue(fields[1], point.seconds)) {
            problem(number, "bad time \"" + std::string(fields[1]) + "\"");
            return;
        }
        for (std::size_t i = 0; i < columns_.size(); ++i) {
            const auto column = static_cast<std::size_t>(columns_[i]);
            if (!readValue(fields[i + 2], point.values[column])) {
                problem(number, "bad reading \"" + std::string(fields[i + 2]) + "\"");
                return;
            }
        }
        run_.points.push_back(point);
    }

    std::optional<std::string_view> meta(std::string_view key) const {
        for (const auto& [k, v] : run_.meta) {
            if (k == key) {
                return v;
            }
        }
        return std::nullopt;
    }

    std::string metaText(std::string_view key) const { return std::string(meta(key).value_or("")); }

    template <typename T>
    T metaNumber(std::string_view key) const {
        const auto text = meta(key);
        return text ? wholeNumber<T>(*text).value_or(T{}) : T{};
    }

    void fillSetup() {
        RunSetup& s = run_.setup;
        if (const auto mode = meta(journal::kMode)) {
            s.mode = journal::modeFrom(*mode).value_or(RunMode::ScanCard);
        }
        s.resource = metaText(journal::kResource);
        s.identity = metaText(journal::kIdentity);
        s.serial = metaText(journal::kSerial);
        s.band = metaNumber<int>(journal::kFilterBand);
        s.triggerDelay = metaText(journal::kTriggerDelay);
        s.scanTime = metaText(journal::kScanTime);
        s.interval = metaText(journal::kInterval);
        s.recordLength = metaNumber<std::int32_t>(journal::kRecordLength);
        s.pointsPerScreen = metaNumber<std::int32_t>(journal::kPointsPerScreen);
        if (const auto math = meta(journal::kMath)) {
            s.mathFormula = std::string(*math);
        }
        for (int channel = 1; channel <= 10; ++channel) {
            const auto function = meta(journal::channelKey(channel, journal::kFunction));
            if (!function) {
                continue;
            }
            std::optional<double> rangeValue;
            if (const auto value = meta(journal::channelKey(channel, journal::kRangeValue))) {
                rangeValue = wholeNumber<double>(*value);
            }
            RunChannelSetup c{.channel = channel,
                              .function = std::string(*function),
                              .rangeText = metaText(journal::channelKey(channel, journal::kRange)),
                              .rangeValue = rangeValue,
                              .filter = metaText(journal::channelKey(channel, journal::kFilter))};
            s.channels.push_back(std::move(c));
        }
        if (const auto functions = meta(journal::kRowFunctions)) {
            for (const std::string_view f : splitFields(*functions)) {
                run_.rowFunctions.emplace_back(f);
            }
        }
    }

    JournalRun run_;
    bool headerSeen_ = false;
    bool columnsReadable_ = true;
    std::vector<int> columns_;  // value index of each reading column
};

}  // namespace

JournalRun readJournalText(std::string_view text) {
    return Reader().read(text);
}

JournalRun readJournal(std::istream& in) {
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return readJournalText(text);
}

JournalRun readJournal(const QString& path) {
    std::ifstream in(QFile::encodeName(path).toStdString(), std::ios::binary);
    if (!in) {
        JournalRun run;
        run.problems.push_back("cannot open " + path.toStdString());
        return run;
    }
    return readJournal(in);
}

}  // namespace tq
