#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

namespace tq {

// The three arrays of a run's record. Rows 0..20001; screen slot s lives in
// row 10000 + s. PlotYStore and ValueStore have columns 0..11 (channel
// number, 11 = math), TimeStore has column 1 only (its column 0 is never
// used and not kept). Every access is bounds-checked: reads outside the store
// give nullopt, writes outside are ignored and return false.
//
// A value or time cell may hold no reading: a read that failed, a field that
// was garbled, cut short or not finite, a math value that could not be
// formed, a row cleared for a point not taken yet. value() and time() give
// nullopt for it, so a missing reading can never pass for a 0.
enum class StoreArray { PlotY, Value, Time };

// The series a scroll moves: PlotYStore and ValueStore columns 1..11 and
// TimeStore column 1, 23 in all.
class SeriesSet {
  public:
    static constexpr int kCount = 23;

    static SeriesSet all();
    // A main-unit run moves only CH1, the math column and the time.
    static SeriesSet mainUnit();

    // Columns that never scroll (0, out of range) are ignored.
    SeriesSet& add(StoreArray array, int column);
    bool contains(StoreArray array, int column) const;

  private:
    static std::optional<int> bit(StoreArray array, int column);
    std::bitset<kCount> bits_;
};

class RecordStore {
  public:
    static constexpr int kFirstRow = 0;
    static constexpr int kLastRow = 20001;
    static constexpr int kColumns = 12;  // PlotYStore / ValueStore columns 0..11
    static constexpr int kFirstSeriesColumn = 1;
    static constexpr int kLastSeriesColumn = 11;
    static constexpr int kSlotRowBase = 10000;
    static constexpr std::int32_t kClearedPlotY = 5400;  // the plot's zero line
    static constexpr double kNoReading = std::numeric_limits<double>::quiet_NaN();

    RecordStore();

    static bool rowInRange(int row) { return row >= kFirstRow && row <= kLastRow; }
    static bool inRange(int row, int column) {
        return rowInRange(row) && column >= 0 && column < kColumns;
    }

    std::optional<std::int32_t> plotY(int row, int column) const;
    // None outside the store and where the cell holds no reading.
    std::optional<double> value(int row, int column) const;
    std::optional<double> time(int row) const;  // TimeStore(row, 1)
    bool setPlotY(int row, int column, std::int32_t y);
    // A value that is not finite is kept as no reading.
    bool setValue(int row, int column, double v);
    bool setTime(int row, double seconds);

    // Resets one row: PlotYStore 5400 and no reading in columns 1..11, no
    // time. The run clears its rows one at a time and yields between, and
    // clears each point's row again before the point fills it.
    bool clearRow(int row);

    // The latest run as the record holds it, whatever the window's fields
    // say since: the row of its first point (moved by every scroll of the
    // time column, the run's own and the review's), the points it took and
    // the columns it fills. Columns it does not move hold nothing of it.
    void beginRun(const SeriesSet& series);
    void notePointTaken(std::int32_t point) { pointsTaken_ = point; }
    int firstPointRow() const { return firstPointRow_; }
    std::int32_t pointsTaken() const { return pointsTaken_; }
    bool runFills(int column) const { return runSeries_.contains(StoreArray::Value, column); }

    // One row down, in O(1): for r = 1..20000 row r takes row r + 1's value;
    // row 20001 keeps its value, row 0 is never touched.
    void scroll(const SeriesSet& series = SeriesSet::all());
    // One row up, in O(1): for r = 20000 down to 1 row r + 1 takes row r's
    // value; row 1 keeps its value.
    void scrollReverse(const SeriesSet& series = SeriesSet::all());

  private:
    // One column over rows 0..20001. Rows 1..20001 form a ring whose start
    // moves on a scroll, so a scroll is a change of origin plus the single
    // cell that the row-by-row copy leaves in place.
    template <typename T>
    class Series {
      public:
        explicit Series(T empty = T{}) : cells_(kLastRow + 1, empty) {}
        T& at(int row) { return cells_[physical(row)]; }
        const T& at(int row) const { return cells_[physical(row)]; }
        void scrollDown();
        void scrollUp();

      private:
        static constexpr int kRing = kLastRow;  // rows 1..20001
        std::size_t physical(int row) const;
        std::vector<T> cells_;  // [0] is row 0, [1..20001] the ring
        int origin_ = 0;        // ring position of row 1
    };

    template <std::size_t Count>
    static std::array<Series<double>, Count> filled(double empty) {
        std::array<Series<double>, Count> series;
        series.fill(Series<double>(empty));
        return series;
    }
    template <typename Fn>
    void forEachSeries(const SeriesSet& series, Fn&& fn);
    // Row of the run's first point after the series moved by `rows`.
    void followScroll(const SeriesSet& series, int rows);

    std::array<Series<std::int32_t>, kColumns> plotY_;
    // Nothing is a reading before a run stores one.
    std::array<Series<double>, kColumns> value_ = filled<kColumns>(kNoReading);
    Series<double> time_{kNoReading};
    int firstPointRow_ = kSlotRowBase + 1;
    std::int32_t pointsTaken_ = 0;
    SeriesSet runSeries_;
};

}  // namespace tq
