#include "app/meter_initial.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <cstddef>
#include <string>
#include <string_view>

#include "catalogue/catalogue.h"
#include "common/clock.h"
#include "instrument/failure_line.h"
#include "instrument/session.h"
#include "instrument/usb_resource.h"
#include "panel/build_helpers.h"
#include "panel/message_boxes.h"
#include "panel/panel.h"

namespace tq {
namespace {

// The meter needs this long after the card query before its answer is read.
constexpr int kCardProbeDelayMs = 20;

// How a logged-in user gets the rights to a usbtmc node (as the README says).
std::string permissionHint(std::string_view resource, visa::ViStatus status) {
    const bool usb = visa::parseUsbResource(resource).has_value();
    if (!usb || status != visa::VI_ERROR_NPERMISSION) {
        return {};
    }
    return "the udev rule " + std::string(visa::kUdevRuleName) +
           " lets logged-in users open the meter: " + std::string(visa::kUdevInstallCommand) +
           ", then re-plug it";
}

// A reply as one line of printable text, without the buffer's blanks.
std::string shownReply(std::string_view reply) {
    std::string text;
    for (const char c : reply) {
        text += (c >= ' ' && c <= '~') ? c : ' ';
    }
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

std::string withoutLineEnd(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
        text.pop_back();
    }
    return text;
}

}  // namespace

MeterInitial::MeterInitial(Panel& panel, Clock& clock, InstrumentSession& session,
                           MessageBoxes& boxes)
    : p_(panel), clock_(clock), session_(session), boxes_(boxes) {}

void MeterInitial::Initial() {
    outcome_ = {};
    if (!openMeter()) {
        return;
    }
    identify();
    probeCard();
}

// Finds and opens the meter; false, with the failure told, when there is none
// to talk to.
bool MeterInitial::openMeter() {
    InstrumentSession& s = session_;
    if (const visa::ViStatus status = s.openResourceManager(); visa::failed(status)) {
        outcome_ = {.step = InitialOutcome::Step::NoVisa,
                    .status = status,
                    .resource = {},
                    .identity = {},
                    .reason = s.describe(status)};
        reportFailure("no VISA library: " + s.describe(status), status);
        boxes_.show(QString::fromUtf8(kVisaLibraryError), QString::fromUtf8(kVisaLibraryErrorTitle),
                    MessageBoxes::Buttons::Ok, MessageBoxes::Icon::Exclamation);
        return false;
    }
    s.findMeters();
    if (!(s.FoundCount > 0)) {
        outcome_ = {.step = InitialOutcome::Step::NotFound,
                    .status = s.VisaStatus,
                    .resource = {},
                    .identity = {},
                    .reason = {}};
        reportFailure("no TQ4700 found matching " + std::string(kMeterPattern), s.VisaStatus);
        notFound();
        return false;
    }
    s.openMeter();
    // A meter found but not opened (a refused connection, a device node the
    // user may not open) is no meter: everything after would go nowhere.
    if (const visa::ViStatus status = s.VisaStatus; visa::failed(status)) {
        outcome_ = {.step = InitialOutcome::Step::NotOpened,
                    .status = status,
                    .resource = s.ResourceName,
                    .identity = {},
                    .reason = s.describe(status)};
        reportFailure("cannot open " + s.ResourceName + ": " + s.describe(status), status,
                      permissionHint(s.ResourceName, status));
        s.FoundCount = 0;
        notFound();
        return false;
    }
    return true;
}

// Shows the serial number and asks the meter who it is.
void MeterInitial::identify() {
    InstrumentSession& s = session_;
    p_.LabSN->setText(QString::fromStdString(serialLabel(s.ResourceName)));
    s.setIoTimeout();

    s.writeLine("*RST");
    s.writeLine("*CLS");
    s.writeLine("*IDN?");
    s.readReply();
    s.Identity = visa::failed(s.VisaStatus) ? std::string() : withoutLineEnd(s.ReceivedReply);
    // A meter that names itself wrongly is still probed: the session stays.
    const bool identified = s.replyStartsWith(kIdentityPrefix);
    outcome_ = {
        .step = identified ? InitialOutcome::Step::Identified : InitialOutcome::Step::Unknown,
        .status = s.VisaStatus,
        .resource = s.ResourceName,
        .identity = visa::failed(s.VisaStatus) ? std::string() : shownReply(s.reply()),
        .reason = visa::failed(s.VisaStatus) ? s.describe(s.VisaStatus) : std::string()};
    p_.LabMsg->setText(QString::fromUtf8(identified ? kInitialOk : kInitialFail));
    if (visa::failed(s.VisaStatus)) {
        reportFailure(s.ResourceName + ": no answer to *IDN?: " + s.describe(s.VisaStatus),
                      s.VisaStatus);
    } else if (!identified) {
        reportFailure(s.ResourceName + " is no TQ4700: it answered *IDN? with \"" +
                          shownReply(s.reply()) + "\"",
                      s.VisaStatus);
    }
    clock_.yield();
}

// A meter with a scanner card answers 1 to the card query.
void MeterInitial::probeCard() {
    InstrumentSession& s = session_;
    s.writeLine("Rout:state?");
    clock_.pause(kCardProbeDelayMs);
    s.readReply();
    if (visa::failed(s.VisaStatus)) {
        reportFailure(s.ResourceName + ": no answer to Rout:state?: " + s.describe(s.VisaStatus),
                      s.VisaStatus, "taken as a meter without a scanner card");
    }
    // A time-out leaves the identity in the buffer, which reads as no card.
    if (s.reply().front() == '1') {
        s.ScanCardPresent = 1;
        if (oneChannelLayout_) {
            layOutForTheCard();
        }
        p_.ChkScanMode->setChecked(true);
    } else {
        s.ScanCardPresent = 0;
        layOutForOneChannel();
    }
    clock_.yield();
}

void MeterInitial::notFound() {
    p_.LabMsg->setText(QString::fromUtf8(kInitialFail));
    session_.closeResourceManager();
}

// The meter's own input measures CH1 only: no math channel, no right axis,
// no scan time, and the channel count fixed at 1.
void MeterInitial::layOutForOneChannel() {
    oneChannelLayout_ = true;
    p_.FrameMa->show();
    p_.ChkMath->hide();
    p_.FrameMath->hide();
    for (std::size_t i = 1; i < p_.Lab1f.size(); ++i) {
        p_.Lab1f[i]->hide();
        p_.TxtDshow[i]->hide();
        clock_.yield();
    }
    for (Label* label : p_.LabY1) {
        label->hide();
        clock_.yield();
    }
    p_.CboScale[1]->hide();
    p_.CboScale[0]->clear();
    p_.CboScale[0]->setEditText(QStringLiteral("CH1"));
    p_.TxtChNo->setText(QStringLiteral("1"));
    p_.TxtChNo->setEnabled(false);
    p_.Label2[5]->hide();
    p_.TxtScanTimer->hide();
}

// The rows beyond CH1 follow the channel count, which stays at 1 until the
// user types another; the axis choice starts again from CH1.
void MeterInitial::layOutForTheCard() {
    oneChannelLayout_ = false;
    p_.FrameMa->hide();
    p_.ChkMath->show();
    p_.FrameMath->show();
    for (Label* label : p_.LabY1) {
        label->show();
    }
    p_.CboScale[1]->show();
    p_.CboScale[0]->addItems(build::channelNames(catalogue::kChannelCount));
    p_.CboScale[0]->setEditText(QStringLiteral("CH1"));
    p_.TxtChNo->setEnabled(true);
    p_.Label2[5]->show();
    p_.TxtScanTimer->show();
    p_.ChkScanMode->setEnabled(true);
    clock_.yield();
}

}  // namespace tq
