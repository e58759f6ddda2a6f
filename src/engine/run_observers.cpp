#include "engine/run_observers.h"

#include <algorithm>

namespace tq {

void RunObservers::add(RunObserver* observer) {
    if (observer != nullptr && std::ranges::find(observers_, observer) == observers_.end()) {
        observers_.push_back(observer);
    }
}

void RunObservers::runStarted(const RunSetup& setup) const {
    for (RunObserver* o : observers_) {
        o->runStarted(setup);
    }
}

void RunObservers::pointStarted(std::int32_t point) const {
    for (RunObserver* o : observers_) {
        o->pointStarted(point);
    }
}

void RunObservers::readFailed(std::int32_t point, ReadFailure why, std::int32_t visaStatus) const {
    for (RunObserver* o : observers_) {
        o->readFailed(point, why, visaStatus);
    }
}

void RunObservers::readingTaken(std::int32_t point, int channel, double value) const {
    for (RunObserver* o : observers_) {
        o->readingTaken(point, channel, value);
    }
}

void RunObservers::pointStored(const StoredPoint& point) const {
    for (RunObserver* o : observers_) {
        o->pointStored(point);
    }
}

void RunObservers::runEnded(RunEnd how, std::int32_t pointsTaken) const {
    for (RunObserver* o : observers_) {
        o->runEnded(how, pointsTaken);
    }
}

}  // namespace tq
