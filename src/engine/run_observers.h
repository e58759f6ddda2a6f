#pragma once

#include <cstdint>
#include <vector>

#include "engine/run_observer.h"

namespace tq {

// The observers of a run, told of every event in the order they were added.
// The list holds no observer alive: whoever adds one keeps it for as long as
// runs may go.
class RunObservers {
  public:
    void add(RunObserver* observer);

    void runStarted(const RunSetup& setup) const;
    void pointStarted(std::int32_t point) const;
    void readFailed(std::int32_t point, ReadFailure why, std::int32_t visaStatus) const;
    void readingTaken(std::int32_t point, int channel, double value) const;
    void pointStored(const StoredPoint& point) const;
    void runEnded(RunEnd how, std::int32_t pointsTaken) const;

  private:
    std::vector<RunObserver*> observers_;
};

}  // namespace tq
