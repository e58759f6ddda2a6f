#include "app/script/script_runner.h"

#include <QPointer>
#include <QTextStream>
#include <QWidget>

#include "app/script/control_actions.h"
#include "app/script/script_clock.h"
#include "app/script/script_message_boxes.h"
#include "app/snapshot.h"
#include "panel/control_dump.h"
#include "panel/controls.h"

namespace tq {
namespace {

using script::Command;
using script::Verb;

QString qText(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// The command as a failure names it: "expect TxtDshow(0)", "wait 3000".
QString commandTitle(const Command& c) {
    QString title = qText(script::verbWord(c.verb));
    switch (c.verb) {
        case Verb::Type:
        case Verb::Keys:
        case Verb::Pick:
        case Verb::Click:
        case Verb::Expect:
            return title + QLatin1Char(' ') + qText(c.control);
        case Verb::Screenshot:
        case Verb::Dump:
            return title + QLatin1Char(' ') + qText(c.text);
        case Verb::Wait:
            return title + QLatin1Char(' ') + QString::number(c.ms);
        case Verb::Answer:
            return title + QLatin1Char(' ') + qText(script::replyWord(c.reply));
        case Verb::WaitRun:
        case Verb::Exit:
            break;
    }
    return title;
}

bool isChecked(const QWidget& window, const char* name) {
    const auto* box = qobject_cast<const PictureCheckBox*>(
        script::findControl(window, QString::fromLatin1(name)));
    return box != nullptr && box->isChecked();
}

}  // namespace

ScriptRunner::ScriptRunner(std::vector<Command> commands, QWidget& window, ScriptClock& clock,
                           ScriptMessageBoxes& boxes, ScriptHooks hooks, ScriptEnd atEnd)
    : commands_(std::move(commands)),
      window_(window),
      clock_(clock),
      boxes_(boxes),
      hooks_(std::move(hooks)),
      atEnd_(atEnd) {
    boxes_.setFailure([this](const QString& reason) { fail(reason); });
}

void ScriptRunner::start() {
    // A failure during the start-up has already set the ending going.
    if (state_ != State::Waiting) {
        return;
    }
    state_ = State::Running;
    post([this] { step(); });
}

void ScriptRunner::post(std::function<void()> what) {
    const QPointer<QObject> alive(&context_);
    QMetaObject::invokeMethod(
        &context_,
        [this, alive, what = std::move(what)] {
            // A fixed pause holds a user's input back; so it holds the script.
            if (clock_.pausing()) {
                clock_.afterPause([this, alive, what] {
                    if (alive) {
                        post(what);
                    }
                });
                return;
            }
            if (!mayStepNow()) {
                held_.push_back(what);
                return;
            }
            clock_.runAsHandler(what);
        },
        Qt::QueuedConnection);
}

bool ScriptRunner::runIsGoing() const {
    return hooks_.runIsGoing && hooks_.runIsGoing();
}

bool ScriptRunner::mayStepNow() const {
    // Inside the handler of a command: only a run's goes on under the script.
    return acting_.empty() || (!acting_.back() && runIsGoing());
}

void ScriptRunner::step() {
    if (state_ != State::Running) {
        return;
    }
    if (next_ >= commands_.size()) {
        if (answersLeftOver()) {
            return;
        }
        if (atEnd_ == ScriptEnd::Leave) {
            ending();
        } else {
            state_ = State::Over;
            boxes_.setScriptActive(false);
        }
        return;
    }
    current_ = &commands_[next_++];
    execute(*current_);
}

void ScriptRunner::execute(const Command& c) {
    const auto next = [this] { post([this] { step(); }); };
    QString error;
    switch (c.verb) {
        case Verb::Type:
        case Verb::Keys:
        case Verb::Pick:
        case Verb::Click:
            onControl(c);
            return;
        case Verb::Expect:
            expect(c);
            return;
        case Verb::Answer:
            boxes_.queue(c.reply, c.line);
            next();
            return;
        case Verb::Wait:
            waitMs(c.ms);
            return;
        case Verb::WaitRun:
            waitForRun();
            return;
        case Verb::Screenshot:
            // The next step is scheduled only afterwards: rendering serves
            // events, and the picture is of the window before the next command.
            nextUnless(!writeScreenshot(window_, qText(c.text), &error), error);
            return;
        case Verb::Dump:
            nextUnless(!writeControlDump(&window_, qText(c.text), &error), error);
            return;
        case Verb::Exit:
            if (!answersLeftOver()) {
                ending();
            }
            return;
    }
}

void ScriptRunner::nextUnless(bool failed, const QString& error) {
    if (failed) {
        fail(error);
    } else {
        post([this] { step(); });
    }
}

void ScriptRunner::expect(const Command& c) {
    const QObject* control = script::findControl(window_, qText(c.control));
    if (control == nullptr) {
        fail(QStringLiteral("no control is named %1").arg(qText(c.control)));
        return;
    }
    const std::optional<QString> shown = script::shownText(*control);
    if (!shown) {
        fail(QStringLiteral("%1 has no caption or text").arg(qText(c.control)));
    } else if (*shown != qText(c.text)) {
        fail(QStringLiteral("read \"%1\" not \"%2\"").arg(*shown, qText(c.text)));
    } else {
        post([this] { step(); });
    }
}

void ScriptRunner::waitMs(std::int64_t ms) {
    const QPointer<QObject> alive(&context_);
    clock_.startTimer(ms, [this, alive] {
        if (alive) {
            post([this] { step(); });
        }
    });
}

void ScriptRunner::onControl(const Command& c) {
    const QString name = qText(c.control);
    QObject* control = script::findControl(window_, name);
    if (control == nullptr) {
        fail(QStringLiteral("no control is named %1").arg(name));
        return;
    }
    if (const QString why = script::unreachable(window_, *control); !why.isEmpty()) {
        fail(why);
        return;
    }
    // Scheduled first: the handler may yield for a whole run, and the script
    // goes on from inside those yields.
    post([this] { step(); });
    const QString text = qText(c.text);
    acting_.push_back(runIsGoing());
    const QString refused = act(c.verb, *control, text);
    acting_.pop_back();
    if (!refused.isEmpty()) {
        fail(refused);
    }
    // Taken up again from the event loop; the next handler out may hold
    // them once more.
    const std::vector<std::function<void()>> held = std::move(held_);
    held_.clear();
    for (const auto& what : held) {
        post(what);
    }
}

QString ScriptRunner::act(Verb verb, QObject& control, const QString& text) {
    switch (verb) {
        case Verb::Type:
            return script::typeText(control, text);
        case Verb::Keys:
            return script::typeKeys(window_, control, text);
        case Verb::Pick:
            script::focusAsClicked(control);
            return script::pickItem(control, text);
        default:
            script::focusAsClicked(control);
            return script::click(control);
    }
}

void ScriptRunner::waitForRun() {
    if (state_ != State::Running) {
        return;
    }
    if (!runIsGoing()) {
        post([this] { step(); });
        return;
    }
    // A held run ends only when someone releases it, and the script is the
    // one waiting.
    if (isChecked(window_, "ChkTest(0)") && !isChecked(window_, "ChkTest(1)")) {
        fail(QStringLiteral("the run is held (ChkTest(1) is off) and would never end"));
        return;
    }
    const QPointer<QObject> alive(&context_);
    clock_.startTimer(kPollMs, [this, alive] {
        if (alive) {
            post([this] { waitForRun(); });
        }
    });
}

bool ScriptRunner::answersLeftOver() {
    if (boxes_.queued().empty()) {
        return false;
    }
    fail(QStringLiteral("the answer of line %1 was never taken by a message box")
             .arg(boxes_.queued().front().line));
    return true;
}

void ScriptRunner::fail(const QString& reason) {
    if (!failure_.isEmpty() || state_ == State::Over) {
        return;
    }
    failure_ = current_ != nullptr
                   ? QStringLiteral("script line %1: %2: %3")
                         .arg(QString::number(current_->line), commandTitle(*current_), reason)
                   : QStringLiteral("script, during the start-up: %1").arg(reason);
    QTextStream(stderr) << failure_ << '\n';
    ending();
}

void ScriptRunner::ending() {
    if (state_ == State::Ending || state_ == State::Over) {
        return;
    }
    state_ = State::Ending;
    post([this] { finishStep(); });
}

void ScriptRunner::finishStep() {
    if (state_ != State::Ending) {
        return;
    }
    // The meter is handed back only once the run has let go of it.
    if (runIsGoing()) {
        if (!stopAsked_ && hooks_.stopRun) {
            stopAsked_ = true;
            hooks_.stopRun();
        }
        const QPointer<QObject> alive(&context_);
        clock_.startTimer(kPollMs, [this, alive] {
            if (alive) {
                post([this] { finishStep(); });
            }
        });
        return;
    }
    state_ = State::Over;
    if (hooks_.leave) {
        hooks_.leave(status());
    }
}

}  // namespace tq
