#include "store/record_store.h"
#include "store/slot_rows.h"

#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <random>

#include "support/literal_record.h"

namespace tq {
namespace {

constexpr int kBase = RecordStore::kSlotRowBase;
constexpr int kLast = RecordStore::kLastRow;

// A point's contents, distinct per point and column.
double pointValue(int point, int column) {
    return point * 100.0 + column + 0.25;
}

// Drives the store as a run does: clear the run's rows, store point n in
// slot n (or W + 1 once the screen is full), scroll after every point beyond
// W except the last.
void simulateRun(RecordStore& store, int pointsPerScreen, int points,
                 const SeriesSet& scrolled = SeriesSet::all()) {
    for (int r = 1; r <= points + 1; ++r) {
        store.clearRow(kBase + r);
    }
    for (int n = 1; n <= points; ++n) {
        const int row = kBase + (n <= pointsPerScreen ? n : pointsPerScreen + 1);
        for (int c = 1; c <= 11; ++c) {
            store.setValue(row, c, pointValue(n, c));
            store.setPlotY(row, c, n * 10 + c);
        }
        store.setTime(row, n / 100.0);
        if (n > pointsPerScreen && n != points) {
            store.scroll(scrolled);
        }
    }
}

void expectPointInRow(const RecordStore& store, int point, int row) {
    for (int c = 1; c <= 11; ++c) {
        EXPECT_EQ(store.value(row, c), pointValue(point, c)) << "point " << point << " row " << row;
        EXPECT_EQ(store.plotY(row, c), point * 10 + c) << "point " << point << " row " << row;
    }
    EXPECT_EQ(store.time(row), point / 100.0) << "point " << point << " row " << row;
}

// A cleared row holds no reading and no time, never a 0 that could pass
// for one.
void expectClearedRow(const RecordStore& store, int row) {
    for (int c = 1; c <= 11; ++c) {
        EXPECT_EQ(store.value(row, c), std::nullopt);
        EXPECT_EQ(store.plotY(row, c), RecordStore::kClearedPlotY);
    }
    EXPECT_EQ(store.time(row), std::nullopt);
}

TEST(RecordStore, RunLongerThanTheScreenKeepsHistoryBelowTheScreen) {
    auto store = std::make_unique<RecordStore>();
    simulateRun(*store, 10, 25);
    for (int k = 15; k <= 25; ++k) {
        expectPointInRow(*store, k, kBase + k - 14);  // rows 10001..10011
    }
    for (int k = 1; k <= 14; ++k) {
        expectPointInRow(*store, k, 9986 + k);  // rows 9987..10000
    }
    EXPECT_EQ(store->value(9986, 1), std::nullopt);
}

TEST(RecordStore, FullScreenRunDoesNotScroll) {
    auto store = std::make_unique<RecordStore>();
    simulateRun(*store, 1000, 1000);
    expectPointInRow(*store, 1, 10001);
    expectPointInRow(*store, 1000, 11000);
    expectClearedRow(*store, 11001);
    EXPECT_EQ(store->value(10000, 1), std::nullopt);
}

TEST(RecordStore, ShortRunAfterLongRunClearsOnlyItsRows) {
    auto store = std::make_unique<RecordStore>();
    simulateRun(*store, 100, 2000);  // point k in row 8101 + k
    simulateRun(*store, 100, 5);
    for (int k = 1; k <= 5; ++k) {
        expectPointInRow(*store, k, kBase + k);
    }
    expectClearedRow(*store, 10006);
    expectPointInRow(*store, 1, 8102);
    expectPointInRow(*store, 1899, 10000);
    expectPointInRow(*store, 1906, 10007);
    expectPointInRow(*store, 2000, 10101);
}

TEST(RecordStore, MainUnitScrollMovesOnlyItsSeries) {
    auto store = std::make_unique<RecordStore>();
    simulateRun(*store, 10, 12, SeriesSet::mainUnit());
    // Point 12 is in slot 11; point 11 moved to slot 10 in the moved columns
    // only, the others still hold point 11 in slot 11 under point 12.
    EXPECT_EQ(store->value(10010, 1), pointValue(11, 1));
    EXPECT_EQ(store->plotY(10010, 11), 11 * 10 + 11);
    EXPECT_EQ(store->time(10010), 0.11);
    EXPECT_EQ(store->value(10010, 2), pointValue(10, 2));
    EXPECT_EQ(store->plotY(10010, 5), 10 * 10 + 5);
    EXPECT_EQ(store->value(10001, 3), pointValue(1, 3));
    EXPECT_EQ(store->value(10001, 1), pointValue(2, 1));
}

TEST(RecordStore, OverloadAndExtremeValuesAreStoredAsGiven) {
    auto store = std::make_unique<RecordStore>();
    EXPECT_TRUE(store->setValue(10001, 3, 9.9E+37));
    EXPECT_TRUE(store->setPlotY(10001, 3, 0));
    EXPECT_EQ(store->value(10001, 3), 9.9E+37);
    EXPECT_EQ(store->plotY(10001, 3), 0);
    EXPECT_TRUE(store->setPlotY(kLast, 11, std::numeric_limits<std::int32_t>::min()));
    EXPECT_EQ(store->plotY(kLast, 11), std::numeric_limits<std::int32_t>::min());
}

TEST(RecordStore, EveryAccessIsBoundsChecked) {
    auto store = std::make_unique<RecordStore>();
    EXPECT_EQ(store->value(0, 0), std::nullopt);
    EXPECT_EQ(store->plotY(kLast, 11), 0);
    EXPECT_EQ(store->time(kLast), std::nullopt);
    store->setValue(kLast, 11, 2.0);
    store->setValue(0, 0, 3.0);
    store->setTime(0, 4.0);
    for (const auto& [row, column] : {std::pair{-1, 1},
                                      {kLast + 1, 1},
                                      {1, -1},
                                      {1, 12},
                                      {std::numeric_limits<int>::min(), 0},
                                      {std::numeric_limits<int>::max(), 0}}) {
        EXPECT_FALSE(RecordStore::inRange(row, column));
        EXPECT_EQ(store->value(row, column), std::nullopt);
        EXPECT_EQ(store->plotY(row, column), std::nullopt);
        EXPECT_FALSE(store->setValue(row, column, 1.0));
        EXPECT_FALSE(store->setPlotY(row, column, 1));
    }
    for (const int row : {-1, kLast + 1}) {
        EXPECT_EQ(store->time(row), std::nullopt);
        EXPECT_FALSE(store->setTime(row, 1.0));
        EXPECT_FALSE(store->clearRow(row));
    }
    // Nothing leaked into a neighbouring cell.
    EXPECT_EQ(store->value(kLast, 11), 2.0);
    EXPECT_EQ(store->value(0, 0), 3.0);
    EXPECT_EQ(store->time(0), 4.0);
}

TEST(RecordStore, NumbersBeyondTheDoublesAreNoReading) {
    auto store = std::make_unique<RecordStore>();
    for (const double v :
         {std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
          std::numeric_limits<double>::quiet_NaN()}) {
        store->setValue(10001, 1, 1.0);
        store->setValue(10001, 1, v);
        EXPECT_EQ(store->value(10001, 1), std::nullopt) << v;
        store->setTime(10001, v);
        EXPECT_EQ(store->time(10001), std::nullopt) << v;
    }
    store->setValue(10001, 1, 0.0);
    EXPECT_EQ(store->value(10001, 1), 0.0);  // a real 0 stays a reading
}

// Point 1's row follows the run's scrolls and the review's moves of the
// time column, whichever series move with it.
TEST(RecordStore, TheRunKnowsWhereItsFirstPointIs) {
    auto store = std::make_unique<RecordStore>();
    store->beginRun(SeriesSet::mainUnit());
    simulateRun(*store, 10, 25, SeriesSet::mainUnit());
    store->notePointTaken(25);
    EXPECT_EQ(store->firstPointRow(), kBase + 1 - 14);
    EXPECT_EQ(store->time(store->firstPointRow()), 0.01);
    store->scrollReverse(SeriesSet::all());
    store->scroll(SeriesSet{}.add(StoreArray::Value, 1));  // no time: the run stays put
    EXPECT_EQ(store->time(store->firstPointRow()), 0.01);
    EXPECT_EQ(store->time(store->firstPointRow() + 24), 0.25);
    EXPECT_TRUE(store->runFills(1));
    EXPECT_TRUE(store->runFills(11));
    EXPECT_FALSE(store->runFills(2));

    store->beginRun(SeriesSet::all());
    EXPECT_EQ(store->firstPointRow(), kBase + 1);
    EXPECT_EQ(store->pointsTaken(), 0);
    EXPECT_TRUE(store->runFills(2));
}

TEST(RecordStore, ScrollsWrapTheRingCorrectly) {
    auto store = std::make_unique<RecordStore>();
    const SeriesSet timeOnly = SeriesSet{}.add(StoreArray::Time, 1);
    for (int r = 0; r <= kLast; ++r) {
        store->setTime(r, r);
    }
    // After k forward scrolls row r holds the old row min(r + k, 20001).
    const int k = kLast + 37;
    for (int i = 0; i < k; ++i) {
        store->scroll(timeOnly);
    }
    EXPECT_EQ(store->time(0), 0.0);
    for (int r = 1; r <= kLast; ++r) {
        ASSERT_EQ(store->time(r), kLast) << r;
    }
    for (int r = 0; r <= kLast; ++r) {
        store->setTime(r, r);
    }
    // After j reverse scrolls row r holds the old row max(r - j, 1).
    const int j = 25;
    for (int i = 0; i < j; ++i) {
        store->scrollReverse(timeOnly);
    }
    for (int r = 1; r <= kLast; ++r) {
        ASSERT_EQ(store->time(r), std::max(r - j, 1)) << r;
    }
    EXPECT_EQ(store->value(kLast, 1), std::nullopt);  // other series untouched
}

void expectSameCells(const RecordStore& a, const test::LiteralRecord& b) {
    for (int r = 0; r <= kLast; ++r) {
        for (int c = 0; c < RecordStore::kColumns; ++c) {
            ASSERT_EQ(a.value(r, c), b.value(r, c)) << r << "," << c;
            ASSERT_EQ(a.plotY(r, c), b.plotY(r, c)) << r << "," << c;
        }
        ASSERT_EQ(a.time(r), b.time(r)) << r;
    }
}

TEST(RecordStore, ConstantTimeScrollsMatchTheRowByRowCopy) {
    std::mt19937 rng(4700);
    auto fast = std::make_unique<RecordStore>();
    auto literal = std::make_unique<test::LiteralRecord>();
    // Start the fast store's rings just short of wrapping round.
    for (int i = 0; i < kLast - 3; ++i) {
        fast->scroll();
    }
    std::uniform_int_distribution<int> anyRow(0, kLast);
    std::uniform_int_distribution<int> anyColumn(0, RecordStore::kColumns - 1);
    std::uniform_real_distribution<double> anyValue(-1e6, 1e6);
    auto write = [&](int row, int column, double v) {
        fast->setValue(row, column, v);
        fast->setPlotY(row, column, static_cast<std::int32_t>(v));
        fast->setTime(row, -v);
        literal->setValue(row, column, v);
        literal->setPlotY(row, column, static_cast<std::int32_t>(v));
        literal->setTime(row, -v);
    };
    for (int r = 0; r <= kLast; ++r) {
        for (int c = 0; c < RecordStore::kColumns; ++c) {
            write(r, c, anyValue(rng));
        }
    }
    for (int op = 0; op < 60; ++op) {
        SeriesSet series;
        switch (rng() % 3) {
            case 0:
                series = SeriesSet::all();
                break;
            case 1:
                series = SeriesSet::mainUnit();
                break;
            default:
                for (int c = 1; c <= 11; ++c) {
                    series.add(rng() % 2 ? StoreArray::PlotY : StoreArray::Value, c);
                }
                series.add(rng() % 2 ? StoreArray::Time : StoreArray::Value, 1);
        }
        if (rng() % 2) {
            fast->scroll(series);
            literal->scrollByCopy(series);
        } else {
            fast->scrollReverse(series);
            literal->scrollReverseByCopy(series);
        }
        for (int i = 0; i < 5; ++i) {
            write(anyRow(rng), anyColumn(rng), anyValue(rng));
        }
        if (op % 20 == 19) {
            expectSameCells(*fast, *literal);
        }
    }
}

}  // namespace
}  // namespace tq

namespace tq {
namespace {

// A point fills its own slot until the screen is full, then the slot on the
// right edge; no point lies beyond the store's screen.
TEST(SlotRows, APointsRowIsItsSlotUntilTheScreenIsFull) {
    EXPECT_EQ(CurrentRow(1, 100), 10001);
    EXPECT_EQ(CurrentRow(100, 100), 10100);
    EXPECT_EQ(CurrentRow(5000, 100), 10101);
    EXPECT_EQ(CurrentRow(20000, 10000), RecordStore::kLastRow);
    EXPECT_EQ(CurrentRow(20000, 1e9), RecordStore::kLastRow);
}

// A slot typed by hand can be any number: it names the nearest row while
// that row is in the store, and no row beyond either end.
TEST(SlotRows, ATypedSlotNamesARowOnlyInsideTheStore) {
    EXPECT_EQ(slotRowInStore(1), 10001);
    EXPECT_EQ(slotRowInStore(2.4), 10002);
    EXPECT_EQ(slotRowInStore(2.5), 10002);
    EXPECT_EQ(slotRowInStore(-RecordStore::kSlotRowBase), RecordStore::kFirstRow);
    EXPECT_EQ(slotRowInStore(RecordStore::kLastRow - RecordStore::kSlotRowBase),
              RecordStore::kLastRow);
    EXPECT_FALSE(slotRowInStore(-RecordStore::kSlotRowBase - 1));
    EXPECT_FALSE(slotRowInStore(RecordStore::kLastRow - RecordStore::kSlotRowBase + 1));
    EXPECT_FALSE(slotRowInStore(1e300));
    EXPECT_FALSE(slotRowInStore(std::numeric_limits<double>::quiet_NaN()));
}

}  // namespace
}  // namespace tq
