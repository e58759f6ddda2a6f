#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <unordered_map>
#include <utility>

namespace tq {

// Pending one-shot timers of a clock that keeps its own time, in due order;
// timers due at the same moment fire in the order they were started.
class TimerQueue {
  public:
    // Returns the new timer's id; ids are never reused.
    int start(std::int64_t dueMs, std::function<void()> fire);
    // Unknown or already fired ids are ignored.
    void stop(int id);

    bool empty() const { return byDue_.empty(); }
    std::int64_t nextDueMs() const;  // only when !empty()

    // Removes the earliest timer due at or before nowMs and returns its
    // callback; an empty function when none is due.
    std::function<void()> takeDue(std::int64_t nowMs);

  private:
    std::map<std::pair<std::int64_t, int>, std::function<void()>> byDue_;
    std::unordered_map<int, std::int64_t> dueOf_;
    int nextId_ = 1;
};

}  // namespace tq
