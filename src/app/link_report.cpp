#include "app/link_report.h"

#include "app/meter_initial.h"
#include "instrument/session.h"
#include "instrument/usb_resource.h"
#include "panel/message_boxes.h"
#include "status/status_line.h"

namespace tq {
namespace {

bool deniedOnUsb(const InitialOutcome& outcome) {
    return outcome.step == InitialOutcome::Step::NotOpened &&
           outcome.status == visa::VI_ERROR_NPERMISSION &&
           visa::parseUsbResource(outcome.resource).has_value();
}

status::LinkState stateOf(const InitialOutcome& outcome, bool simulated) {
    using Step = InitialOutcome::Step;
    using status::LinkState;
    switch (outcome.step) {
        case Step::NotRun:
            return LinkState::Starting;
        case Step::NoVisa:
            return LinkState::NoVisa;
        case Step::NotFound:
            return LinkState::NoMeter;
        case Step::NotOpened:
            return deniedOnUsb(outcome) ? LinkState::NoPermission : LinkState::NoMeter;
        case Step::Identified:
            return simulated ? LinkState::Simulated : LinkState::Connected;
        case Step::Unknown:
            return LinkState::WrongMeter;
    }
    return LinkState::NoMeter;
}

std::string installAdvice() {
    return "Install the udev rule " + std::string(visa::kUdevRuleName) + ": " +
           std::string(visa::kUdevInstallCommand) + ", then re-plug the meter";
}

}  // namespace

QString permissionMessage(const QString& resource, const QString& reason) {
    return QStringLiteral(
               "The meter %1 is connected, but this user may not open it (%2).\n\n"
               "The udev rule %3 lets logged-in users open it. Install it with\n\n%4\n\n"
               "then re-plug the meter and press Reconnect. tq4700 --check shows what it finds.")
        .arg(resource, reason, QString::fromUtf8(visa::kUdevRuleName.data()),
             QString::fromUtf8(visa::kUdevInstallCommand.data()));
}

LinkReport::LinkReport(StatusLine& line, MessageBoxes& boxes, bool simulated)
    : line_(line), boxes_(boxes), simulated_(simulated) {}

void LinkReport::afterInitial(const InitialOutcome& outcome) {
    status::LinkFacts facts;
    facts.state = stateOf(outcome, simulated_);
    facts.resource = outcome.resource;
    facts.identity = outcome.identity;
    facts.serial = serialLabel(outcome.resource);
    if (visa::failed(outcome.status) || facts.state == status::LinkState::WrongMeter) {
        facts.statusName = visa::failed(outcome.status) ? visa::statusName(outcome.status) : "";
        facts.reason = outcome.reason;
    }
    const bool denied = facts.state == status::LinkState::NoPermission;
    if (denied) {
        facts.reason += "\n" + installAdvice();
    }
    line_.setLink(facts);
    if (denied && !permissionExplained_) {
        permissionExplained_ = true;
        boxes_.show(permissionMessage(QString::fromStdString(outcome.resource),
                                      QString::fromStdString(outcome.reason)),
                    QStringLiteral("TQ4700"), MessageBoxes::Buttons::Ok,
                    MessageBoxes::Icon::Exclamation);
    }
}

}  // namespace tq
