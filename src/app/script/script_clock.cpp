#include "app/script/script_clock.h"

namespace tq {

// Counts a call into the clock for as long as it lasts, however it ends.
class ScriptClock::Depth {
  public:
    explicit Depth(int& depth) : depth_(depth) { ++depth_; }
    ~Depth() { --depth_; }
    Depth(const Depth&) = delete;
    Depth& operator=(const Depth&) = delete;

  private:
    int& depth_;
};

void ScriptClock::pause(std::int64_t ms) {
    {
        const Depth call(depth_);
        const Depth inPause(pauseDepth_);
        inner_.pause(ms);
    }
    if (pauseDepth_ == 0 && !afterPause_.empty()) {
        // Taken first: a callback may ask to wait for the next pause.
        const std::vector<std::function<void()>> due = std::move(afterPause_);
        afterPause_.clear();
        for (const auto& then : due) {
            then();
        }
    }
}

void ScriptClock::yield() {
    const Depth call(depth_);
    inner_.yield();
}

void ScriptClock::idle() {
    const Depth call(depth_);
    inner_.idle();
}

void ScriptClock::wait(std::int64_t ms, const std::function<bool()>& stop) {
    const Depth call(depth_);
    inner_.wait(ms, stop);
}

void ScriptClock::runAsHandler(const std::function<void()>& body) {
    const Depth call(depth_);
    body();
}

int ScriptClock::startTimer(std::int64_t ms, std::function<void()> fire) {
    const int id = inner_.startTimer(ms, std::move(fire));
    if (timerStarted_) {
        timerStarted_();
    }
    return id;
}

}  // namespace tq
