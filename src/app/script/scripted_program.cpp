#include "app/script/scripted_program.h"

#include <QApplication>
#include <QFile>
#include <QGuiApplication>
#include <QTextStream>
#include <memory>
#include <optional>

#include "app/exit_command.h"
#include "app/form1.h"
#include "app/meter_link.h"
#include "app/qt_message_boxes.h"
#include "app/run_journal.h"
#include "app/script/script_clock.h"
#include "app/script/script_message_boxes.h"
#include "app/script/script_runner.h"
#include "app/script/virtual_time_pump.h"
#include "common/real_clock.h"
#include "common/virtual_clock.h"
#include "journal/journal_writer.h"

namespace tq {
namespace {

ExitRequest scriptError(const QString& text) {
    return {
        .text = QStringLiteral("tq4700: %1\n").arg(text), .toStderr = true, .status = kUsageStatus};
}

// Platforms nobody looks at: a script that ends there without "exit" ends
// the program rather than leave an invisible window waiting for ever.
bool nobodyCanSee() {
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("offscreen") || platform == QLatin1String("minimal");
}

}  // namespace

std::variant<std::vector<script::Command>, ExitRequest> loadScript(const QString& path) {
    QFile file;
    const bool fromStdin = path == QLatin1String("-");
    const bool opened = fromStdin ? file.open(stdin, QIODevice::ReadOnly)
                                  : (file.setFileName(path), file.open(QIODevice::ReadOnly));
    if (!opened) {
        return scriptError(
            QStringLiteral("cannot read the script %1: %2").arg(path, file.errorString()));
    }
    const QByteArray text = file.readAll();
    const QString name = fromStdin ? QStringLiteral("standard input") : path;
    script::ParseResult parsed = script::parseScript(
        std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
    if (const auto* error = std::get_if<script::ParseError>(&parsed)) {
        return scriptError(
            QStringLiteral("script %1, line %2: %3")
                .arg(name, QString::number(error->line), QString::fromStdString(error->message)));
    }
    return std::move(std::get<std::vector<script::Command>>(parsed));
}

ScriptHooks windowScriptHooks(Form1& form, ScriptMessageBoxes& boxes,
                              std::function<void(int status)> endWith) {
    return {.runIsGoing = [&form] { return form.runIsGoing(); },
            .stopRun = [&form] { form.requestRunStop(); },
            .leave =
                [&form, &boxes, endWith = std::move(endWith)](int status) {
                    boxes.confirmNext();
                    form.exitCommand().CmdEnd_Click();
                    boxes.clearConfirm();
                    // Exit ends the program through the window's own service;
                    // should it not have (a second Exit under way), the meter
                    // is still handed back.
                    if (!form.exitCommand().ended()) {
                        form.session().release();
                        endWith(status);
                    }
                }};
}

namespace {

// The program's time. With --fast virtual time moves only when the program
// waits; the simulated meter runs on the same clock, so runs take no longer
// than their drawing.
class ProgramTime {
  public:
    explicit ProgramTime(bool fast)
        : virtual_(fast ? std::make_unique<VirtualClock>() : nullptr),
          real_(fast ? nullptr : std::make_unique<RealClock>()),
          clock_(virtual_ ? static_cast<Clock&>(*virtual_) : *real_) {
        if (virtual_) {
            pump_.emplace(*virtual_, clock_);
        }
    }
    ScriptClock& clock() { return clock_; }

  private:
    std::unique_ptr<VirtualClock> virtual_;
    std::unique_ptr<RealClock> real_;
    ScriptClock clock_;
    std::optional<VirtualTimePump> pump_;
};

}  // namespace

int runScriptedProgram(const Options& options) {
    std::optional<std::vector<script::Command>> commands;
    if (!options.scriptPath.isEmpty()) {
        auto loaded = loadScript(options.scriptPath);
        if (const auto* request = std::get_if<ExitRequest>(&loaded)) {
            QTextStream(stderr) << request->text;
            return request->status;
        }
        commands = std::move(std::get<std::vector<script::Command>>(loaded));
    }

    ProgramTime time(options.fast);
    ScriptClock& clock = time.clock();

    visa::Link link = openMeterLink(options, clock);
    QtMessageBoxes windowBoxes;
    ScriptMessageBoxes scriptBoxes(windowBoxes);
    MessageBoxes& boxes = commands ? static_cast<MessageBoxes&>(scriptBoxes) : windowBoxes;
    std::unique_ptr<ScriptRunner> runner;
    const auto endWith = [&runner](int status) {
        if (runner) {
            runner->abandon();
        }
        QCoreApplication::exit(status);
    };
    // Outlives the window, whose runs it follows.
    std::unique_ptr<JournalWriter> journal;
    Form1 form({.clock = clock,
                .boxes = boxes,
                .visa = *link.visa,
                .options = options,
                .endProgram = [&form, &runner, &endWith] {
                    form.hide();
                    endWith(runner ? runner->status() : 0);
                }});
    journal = attachRunJournal(form, options, clock);
    windowBoxes.setParentWidget(&form);
    if (!commands) {
        form.show();
        return QApplication::exec();
    }

    ScriptHooks hooks = windowScriptHooks(form, scriptBoxes, [&form, &endWith](int status) {
        form.hide();
        endWith(status);
    });
    runner = std::make_unique<ScriptRunner>(
        std::move(*commands), form, clock, scriptBoxes, std::move(hooks),
        nobodyCanSee() ? ScriptEnd::Leave : ScriptEnd::KeepWindow);
    form.show();
    // The script starts once the start-up is over; the start-up run from the
    // window's first showing finds it done and does nothing.
    form.runStartUp();
    if (runner->over()) {
        return runner->status();
    }
    runner->start();
    return QApplication::exec();
}

}  // namespace tq
