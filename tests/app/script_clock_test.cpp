#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include "app/qt_message_boxes.h"
#include "app/script/script_clock.h"
#include "app/script/script_message_boxes.h"
#include "app/script/script_runner.h"
#include "common/virtual_clock.h"
#include "panel/widget_app.h"

namespace tq::test {
namespace {

// Virtual time whose pauses serve posted events, as the real clock's pauses
// do (only user input waits there).
class ServingClock final : public Clock {
  public:
    std::int64_t tickMs() const override { return time_.tickMs(); }
    void pause(std::int64_t ms) override {
        time_.pause(ms);
        QCoreApplication::processEvents();
    }
    void yield() override { QCoreApplication::processEvents(); }
    void idle() override { QCoreApplication::processEvents(); }
    void wait(std::int64_t ms, const std::function<bool()>& stop) override { time_.wait(ms, stop); }
    int startTimer(std::int64_t ms, std::function<void()> fire) override {
        return time_.startTimer(ms, std::move(fire));
    }
    void stopTimer(int id) override { time_.stopTimer(id); }

  private:
    VirtualClock time_;
};

TEST(ScriptClock, AScriptStepNeverRunsInsideAFixedPause) {
    widgetApp();
    ServingClock serving;
    ScriptClock clock(serving);
    QWidget window;
    auto* box = new QLineEdit(&window);
    box->setObjectName("Box");
    box->setGeometry(0, 0, 80, 20);
    auto* go = new QPushButton(&window);
    go->setObjectName("Go");
    go->setGeometry(0, 30, 80, 20);
    window.show();

    // A handler that goes on under the script, as a run does, and writes
    // its field around a pause.
    bool running = false;
    QObject::connect(go, &QPushButton::clicked, [&] {
        running = true;
        box->setText("in the pause");
        clock.pause(100);
        EXPECT_FALSE(clock.pausing());
        box->setText("after the pause");
        clock.yield();
        clock.yield();
        running = false;
    });

    UnattendedMessageBoxes unattended;
    ScriptMessageBoxes boxes(unattended);
    QEventLoop loop;
    int status = -1;
    auto parsed = script::parseScript("click Go\nexpect Box after the pause\n");
    ScriptRunner runner(std::move(std::get<std::vector<script::Command>>(parsed)), window, clock,
                        boxes,
                        ScriptHooks{.runIsGoing = [&running] { return running; },
                                    .stopRun = {},
                                    .leave =
                                        [&](int s) {
                                            status = s;
                                            loop.quit();
                                        }},
                        ScriptEnd::Leave);
    runner.start();
    QTimer::singleShot(10000, &loop, [&loop] { loop.quit(); });
    loop.exec();
    EXPECT_EQ(status, 0) << runner.failure().toStdString();
    EXPECT_FALSE(clock.busy());
}

}  // namespace
}  // namespace tq::test
