#pragma once

#include <cstdint>

#include "common/clock.h"

namespace tq {

// The run's two millisecond stopwatches: 1 is the run clock, 2 times each
// scan-state read. On the clock's 64-bit tick, so they never wrap.
class Stopwatches {
  public:
    explicit Stopwatches(const Clock& clock) : clock_(clock) {}

    void StartWatch1() { Watch1Start = clock_.tickMs(); }
    void StartWatch2() { Watch2Start = clock_.tickMs(); }
    double Watch1Elapsed() const { return static_cast<double>(clock_.tickMs() - Watch1Start); }
    double Watch2Elapsed() const { return static_cast<double>(clock_.tickMs() - Watch2Start); }

    std::int64_t Watch1Start = 0;
    std::int64_t Watch2Start = 0;

  private:
    const Clock& clock_;
};

}  // namespace tq
