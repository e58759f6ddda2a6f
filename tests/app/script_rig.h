#pragma once

#include <QEventLoop>
#include <QLineEdit>
#include <QTimer>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "app/form1.h"
#include "app/meter_link.h"
#include "app/options.h"
#include "app/qt_message_boxes.h"
#include "app/script/script_clock.h"
#include "app/script/script_message_boxes.h"
#include "app/script/script_parser.h"
#include "app/script/script_runner.h"
#include "app/script/scripted_program.h"
#include "app/script/virtual_time_pump.h"
#include "common/virtual_clock.h"
#include "instrument/link_factory.h"
#include "panel/widget_app.h"
#include "sim/meter.h"
#include "wire_log.h"

namespace tq::test {

// The window as `tq4700 --simulate --fast --script` runs it, in-process:
// Form1 over the simulated meter with its card, all on virtual time that
// the event loop moves on when idle, started up before the script begins.
class ScriptRig {
    QApplication& app_ = widgetApp();

  public:
    explicit ScriptRig(const QString& saveDir = {})
        : options_(fastOptions(saveDir)),
          clock(time),
          pump(time, clock),
          link_(openMeterLink(options_, clock)),
          boxes(unattended_),
          form({.clock = clock,
                .boxes = boxes,
                .visa = *link_.visa,
                .options = options_,
                .endProgram = [this] { end(runner ? runner->status() : 0); }}),
          p(form.panel()) {
        link_.meter->setTranscriptKept(true);  // the wire checks read it
        form.show();
        form.runStartUp();
    }

    // Runs the script to its end (exit, failure, or its last line) and
    // returns the status the program would leave with; -1 when the script
    // is malformed or never ends.
    int run(std::string_view text) {
        script::ParseResult parsed = script::parseScript(text);
        if (std::holds_alternative<script::ParseError>(parsed)) {
            return -1;
        }
        status_ = -1;
        runner = std::make_unique<ScriptRunner>(
            std::move(std::get<std::vector<script::Command>>(parsed)), form, clock, boxes,
            windowScriptHooks(form, boxes, [this](int s) { end(s); }), ScriptEnd::Leave);
        runner->start();
        // Real time only as a guard against a script that never ends.
        QTimer::singleShot(60000, &loop_, [this] { loop_.quit(); });
        loop_.exec();
        return status_;
    }

    std::string failure() const { return runner ? runner->failure().toStdString() : std::string(); }
    static std::string text(const QLineEdit* box) { return box->text().toStdString(); }

    std::vector<std::string> hostLines() const { return test::hostLines(*link_.meter); }

  private:
    static Options fastOptions(const QString& saveDir) {
        Options options;
        options.simulate = true;
        options.fast = true;
        options.saveDir = saveDir;
        return options;
    }

    void end(int status) {
        runGoingAtEnd = form.runIsGoing();
        status_ = status;
        loop_.quit();
    }

    Options options_;

  public:
    VirtualClock time;
    ScriptClock clock;
    VirtualTimePump pump;

  private:
    visa::Link link_;
    UnattendedMessageBoxes unattended_;

  public:
    ScriptMessageBoxes boxes;
    Form1 form;
    Panel& p;
    std::unique_ptr<ScriptRunner> runner;
    // Whether a run was still going when the program ended.
    bool runGoingAtEnd = false;

  private:
    QEventLoop loop_;
    int status_ = -1;
};

}  // namespace tq::test
