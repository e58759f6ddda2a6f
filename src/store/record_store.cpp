#include "store/record_store.h"

#include <cmath>

namespace tq {

std::optional<int> SeriesSet::bit(StoreArray array, int column) {
    switch (array) {
        case StoreArray::PlotY:
        case StoreArray::Value:
            if (column < RecordStore::kFirstSeriesColumn ||
                column > RecordStore::kLastSeriesColumn) {
                return std::nullopt;
            }
            return (array == StoreArray::PlotY ? 0 : 11) + column - 1;
        case StoreArray::Time:
            return column == 1 ? std::optional<int>(22) : std::nullopt;
    }
    return std::nullopt;
}

SeriesSet SeriesSet::all() {
    SeriesSet set;
    set.bits_.set();
    return set;
}

SeriesSet SeriesSet::mainUnit() {
    SeriesSet set;
    set.add(StoreArray::PlotY, 1).add(StoreArray::PlotY, 11);
    set.add(StoreArray::Value, 1).add(StoreArray::Value, 11);
    set.add(StoreArray::Time, 1);
    return set;
}

SeriesSet& SeriesSet::add(StoreArray array, int column) {
    if (const auto b = bit(array, column)) {
        bits_.set(static_cast<std::size_t>(*b));
    }
    return *this;
}

bool SeriesSet::contains(StoreArray array, int column) const {
    const auto b = bit(array, column);
    return b && bits_.test(static_cast<std::size_t>(*b));
}

template <typename T>
std::size_t RecordStore::Series<T>::physical(int row) const {
    if (row == 0) {
        return 0;
    }
    int ring = origin_ + row - 1;  // < 2 * kRing
    if (ring >= kRing) {
        ring -= kRing;
    }
    return static_cast<std::size_t>(ring) + 1;
}

template <typename T>
void RecordStore::Series<T>::scrollDown() {
    // Moving the origin on by one makes row r show old row r + 1; the last
    // row would wrap round to old row 1, but the copy leaves it in place.
    const T last = at(kLastRow);
    origin_ = origin_ + 1 == kRing ? 0 : origin_ + 1;
    at(kLastRow) = last;
}

template <typename T>
void RecordStore::Series<T>::scrollUp() {
    const T first = at(1);
    origin_ = origin_ == 0 ? kRing - 1 : origin_ - 1;
    at(1) = first;
}

RecordStore::RecordStore() = default;

template <typename Fn>
void RecordStore::forEachSeries(const SeriesSet& series, Fn&& fn) {
    for (int c = kFirstSeriesColumn; c <= kLastSeriesColumn; ++c) {
        if (series.contains(StoreArray::PlotY, c)) {
            fn(plotY_[static_cast<std::size_t>(c)]);
        }
        if (series.contains(StoreArray::Value, c)) {
            fn(value_[static_cast<std::size_t>(c)]);
        }
    }
    if (series.contains(StoreArray::Time, 1)) {
        fn(time_);
    }
}

std::optional<std::int32_t> RecordStore::plotY(int row, int column) const {
    if (!inRange(row, column)) {
        return std::nullopt;
    }
    return plotY_[static_cast<std::size_t>(column)].at(row);
}

std::optional<double> RecordStore::value(int row, int column) const {
    if (!inRange(row, column)) {
        return std::nullopt;
    }
    const double v = value_[static_cast<std::size_t>(column)].at(row);
    return std::isnan(v) ? std::nullopt : std::optional<double>(v);
}

std::optional<double> RecordStore::time(int row) const {
    if (!rowInRange(row)) {
        return std::nullopt;
    }
    const double t = time_.at(row);
    return std::isnan(t) ? std::nullopt : std::optional<double>(t);
}

bool RecordStore::setPlotY(int row, int column, std::int32_t y) {
    if (!inRange(row, column)) {
        return false;
    }
    plotY_[static_cast<std::size_t>(column)].at(row) = y;
    return true;
}

bool RecordStore::setValue(int row, int column, double v) {
    if (!inRange(row, column)) {
        return false;
    }
    value_[static_cast<std::size_t>(column)].at(row) = std::isfinite(v) ? v : kNoReading;
    return true;
}

bool RecordStore::setTime(int row, double seconds) {
    if (!rowInRange(row)) {
        return false;
    }
    time_.at(row) = std::isfinite(seconds) ? seconds : kNoReading;
    return true;
}

bool RecordStore::clearRow(int row) {
    if (!rowInRange(row)) {
        return false;
    }
    for (int c = kFirstSeriesColumn; c <= kLastSeriesColumn; ++c) {
        plotY_[static_cast<std::size_t>(c)].at(row) = kClearedPlotY;
        value_[static_cast<std::size_t>(c)].at(row) = kNoReading;
    }
    time_.at(row) = kNoReading;
    return true;
}

void RecordStore::beginRun(const SeriesSet& series) {
    firstPointRow_ = kSlotRowBase + 1;
    pointsTaken_ = 0;
    runSeries_ = series;
}

void RecordStore::followScroll(const SeriesSet& series, int rows) {
    if (series.contains(StoreArray::Time, 1)) {
        firstPointRow_ += rows;
    }
}

void RecordStore::scroll(const SeriesSet& series) {
    forEachSeries(series, [](auto& s) { s.scrollDown(); });
    followScroll(series, -1);
}

void RecordStore::scrollReverse(const SeriesSet& series) {
    forEachSeries(series, [](auto& s) { s.scrollUp(); });
    followScroll(series, 1);
}

}  // namespace tq
