#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

#include "store/record_store.h"

namespace tq::test {

// The record's scrolls written out as the row-by-row copies they stand for
// (20000 rows per series), over plain arrays: the reference that
// RecordStore's constant-time scrolls are checked and measured against.
class LiteralRecord {
  public:
    static constexpr int kRows = RecordStore::kLastRow + 1;

    LiteralRecord() {
        plotY_.fill(std::vector<std::int32_t>(kRows, 0));
        value_.fill(std::vector<double>(kRows, RecordStore::kNoReading));
    }

    void setPlotY(int row, int column, std::int32_t y) { plotY_[at(column)][at(row)] = y; }
    void setValue(int row, int column, double v) {
        value_[at(column)][at(row)] = std::isfinite(v) ? v : RecordStore::kNoReading;
    }
    void setTime(int row, double seconds) {
        time_[at(row)] = std::isfinite(seconds) ? seconds : RecordStore::kNoReading;
    }
    std::int32_t plotY(int row, int column) const { return plotY_[at(column)][at(row)]; }
    std::optional<double> value(int row, int column) const {
        return reading(value_[at(column)][at(row)]);
    }
    std::optional<double> time(int row) const { return reading(time_[at(row)]); }

    // For r = 1..20000 row r takes row r + 1's value.
    void scrollByCopy(const SeriesSet& series) {
        forEachSeries(series, [](auto& cells) {
            for (int r = 1; r <= RecordStore::kLastRow - 1; ++r) {
                cells[at(r)] = cells[at(r + 1)];
            }
        });
    }
    // For r = 20000 down to 1 row r + 1 takes row r's value.
    void scrollReverseByCopy(const SeriesSet& series) {
        forEachSeries(series, [](auto& cells) {
            for (int r = RecordStore::kLastRow - 1; r >= 1; --r) {
                cells[at(r + 1)] = cells[at(r)];
            }
        });
    }

  private:
    static std::size_t at(int i) { return static_cast<std::size_t>(i); }
    static std::optional<double> reading(double v) {
        return std::isnan(v) ? std::nullopt : std::optional<double>(v);
    }
    template <typename Fn>
    void forEachSeries(const SeriesSet& series, Fn&& fn) {
        for (int c = RecordStore::kFirstSeriesColumn; c <= RecordStore::kLastSeriesColumn; ++c) {
            if (series.contains(StoreArray::PlotY, c)) {
                fn(plotY_[at(c)]);
            }
            if (series.contains(StoreArray::Value, c)) {
                fn(value_[at(c)]);
            }
        }
        if (series.contains(StoreArray::Time, 1)) {
            fn(time_);
        }
    }

    std::array<std::vector<std::int32_t>, RecordStore::kColumns> plotY_;
    std::array<std::vector<double>, RecordStore::kColumns> value_;
    std::vector<double> time_ = std::vector<double>(kRows, RecordStore::kNoReading);
};

}  // namespace tq::test
