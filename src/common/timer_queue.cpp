#include "common/timer_queue.h"

namespace tq {

int TimerQueue::start(std::int64_t dueMs, std::function<void()> fire) {
    const int id = nextId_++;
    byDue_.emplace(std::make_pair(dueMs, id), std::move(fire));
    dueOf_.emplace(id, dueMs);
    return id;
}

void TimerQueue::stop(int id) {
    const auto it = dueOf_.find(id);
    if (it == dueOf_.end()) {
        return;
    }
    byDue_.erase(std::make_pair(it->second, id));
    dueOf_.erase(it);
}

std::int64_t TimerQueue::nextDueMs() const {
    return byDue_.begin()->first.first;
}

std::function<void()> TimerQueue::takeDue(std::int64_t nowMs) {
    if (byDue_.empty() || byDue_.begin()->first.first > nowMs) {
        return {};
    }
    auto node = byDue_.extract(byDue_.begin());
    dueOf_.erase(node.key().second);
    return std::move(node.mapped());
}

}  // namespace tq
