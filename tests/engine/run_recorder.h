#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/run_observer.h"

namespace tq::test {

struct Failure {
    std::int32_t point;
    ReadFailure why;
    std::int32_t status;
};

// Every event, in order, as one letter each, with what came with it; the
// readings of point k in taken[k - 1].
struct Recorder : RunObserver {
    void runStarted(const RunSetup& s) override {
        order += 'S';
        setup = s;
    }
    void pointStarted(std::int32_t point) override {
        order += 'P';
        started.push_back(point);
        taken.emplace_back();
    }
    void readFailed(std::int32_t point, ReadFailure why, std::int32_t status) override {
        order += 'F';
        failures.push_back({point, why, status});
    }
    void readingTaken(std::int32_t, int channel, double value) override {
        order += 'R';
        taken.back().at(static_cast<std::size_t>(channel)) = value;
    }
    void pointStored(const StoredPoint& point) override {
        order += 'W';
        stored.push_back(point);
    }
    void runEnded(RunEnd how, std::int32_t points) override {
        order += 'E';
        end = how;
        pointsTaken = points;
    }

    std::string order;
    std::optional<RunSetup> setup;
    std::vector<std::int32_t> started;
    std::vector<std::array<std::optional<double>, 12>> taken;
    std::vector<Failure> failures;
    std::vector<StoredPoint> stored;
    std::optional<RunEnd> end;
    std::int32_t pointsTaken = -1;
};

}  // namespace tq::test
