#pragma once

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

#include "app/script/script_parser.h"

class QWidget;

namespace tq {

class ScriptClock;
class ScriptMessageBoxes;

// What a script needs from the window around it.
struct ScriptHooks {
    // Whether a run is going, and the request that ends it after its point.
    std::function<bool()> runIsGoing;
    std::function<void()> stopRun;
    // Hands the meter back as Exit does after a Yes and ends the program
    // with this status.
    std::function<void(int status)> leave;
};

// What happens when the last command has run without an exit.
enum class ScriptEnd {
    KeepWindow,  // the window stays for the user
    Leave,       // nobody can see it: the program ends as after exit
};

// Runs a parsed control script against the window, one command per step of
// the event loop. Each step schedules the next before its command runs, so
// a run started by a click goes on while the script keeps acting from
// inside the run's yields; waits are timers on the clock, never blocking.
// Steps are taken only where the window serves a user's input: one that
// falls due inside a fixed pause waits for the pause to end. Any other
// handler a command sets off (a function pick, the panel slide) finishes
// before the next command, so a script reads the window as that handler
// left it.
class ScriptRunner {
  public:
    static constexpr std::int64_t kPollMs = 20;  // how often wait-run looks

    ScriptRunner(std::vector<script::Command> commands, QWidget& window, ScriptClock& clock,
                 ScriptMessageBoxes& boxes, ScriptHooks hooks, ScriptEnd atEnd);
    ScriptRunner(const ScriptRunner&) = delete;
    ScriptRunner& operator=(const ScriptRunner&) = delete;

    // Schedules the first command; call once the start-up has finished.
    void start();

    // Ends the script with a failure at the command in hand: the reason goes
    // to stderr, a run is stopped, and the program leaves with status 1.
    void fail(const QString& reason);

    // 0 while all is well, 1 once the script has failed.
    int status() const { return failure_.isEmpty() ? 0 : 1; }
    const QString& failure() const { return failure_; }
    // The script has left the window (exit, failure, or its end with
    // ScriptEnd::Leave) or handed it to the user.
    bool over() const { return state_ == State::Over; }
    // The program ended by other means (Exit clicked): nothing more runs.
    void abandon() { state_ = State::Over; }

  private:
    enum class State { Waiting, Running, Ending, Over };

    void post(std::function<void()> what);
    bool mayStepNow() const;
    bool runIsGoing() const;
    void step();
    void execute(const script::Command& c);
    void onControl(const script::Command& c);
    void expect(const script::Command& c);
    void waitMs(std::int64_t ms);
    // Fails with error, or goes on to the next command.
    void nextUnless(bool failed, const QString& error);
    // Does what the command does to the control; the refusal, if any.
    QString act(script::Verb verb, QObject& control, const QString& text);
    void waitForRun();
    void ending();
    void finishStep();
    bool answersLeftOver();

    std::vector<script::Command> commands_;
    QWidget& window_;
    ScriptClock& clock_;
    ScriptMessageBoxes& boxes_;
    ScriptHooks hooks_;
    ScriptEnd atEnd_;
    // Posted steps die with the runner.
    QObject context_;

    State state_ = State::Waiting;
    std::size_t next_ = 0;
    const script::Command* current_ = nullptr;
    QString failure_;
    bool stopAsked_ = false;
    // One entry per command whose handler is on the stack: whether a run
    // was going when it began (if not and one is now, it is the run's).
    std::vector<bool> acting_;
    // Steps that fell due inside such a handler, taken up when it returns.
    std::vector<std::function<void()>> held_;
};

}  // namespace tq
