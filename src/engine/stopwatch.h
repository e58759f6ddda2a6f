#pragma once

#include <cstdint>

#include "common/clock.h"

namespace tq {

// The run's two millisecond stopwatches: 1 is the run clock, 2 times each
// scan-state read. They start on the clock's microsecond tick (64 bits, so
// they never wrap) and give milliseconds with their fraction.
class Stopwatches {
  public:
    explicit Stopwatches(const Clock& clock) : clock_(clock) {}

    void StartWatch1() { Watch1Start = clock_.tickUs(); }
    void StartWatch2() { Watch2Start = clock_.tickUs(); }
    double Watch1Elapsed() const { return elapsedMs(Watch1Start); }
    double Watch2Elapsed() const { return elapsedMs(Watch2Start); }

    // Start ticks, in microseconds.
    std::int64_t Watch1Start = 0;
    std::int64_t Watch2Start = 0;

  private:
    double elapsedMs(std::int64_t startUs) const {
        return static_cast<double>(clock_.tickUs() - startUs) / 1000;
    }

    const Clock& clock_;
};

}  // namespace tq
