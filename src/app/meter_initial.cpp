#include "app/meter_initial.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <cstddef>

#include "common/clock.h"
#include "instrument/session.h"
#include "panel/message_boxes.h"
#include "panel/panel.h"

namespace tq {
namespace {

// The meter needs this long after the card query before its answer is read.
constexpr int kCardProbeDelayMs = 20;

}  // namespace

MeterInitial::MeterInitial(Panel& panel, Clock& clock, InstrumentSession& session,
                           MessageBoxes& boxes)
    : p_(panel), clock_(clock), session_(session), boxes_(boxes) {}

void MeterInitial::Initial() {
    InstrumentSession& s = session_;
    if (visa::failed(s.openResourceManager())) {
        boxes_.show(QString::fromUtf8(kVisaLibraryError), QString::fromUtf8(kVisaLibraryErrorTitle),
                    MessageBoxes::Buttons::Ok, MessageBoxes::Icon::Exclamation);
        return;
    }
    s.findMeters();
    if (!(s.FoundCount > 0)) {
        p_.LabMsg->setText(QString::fromUtf8(kInitialFail));
        s.closeResourceManager();
        return;
    }
    s.openMeter();
    p_.LabSN->setText(QString::fromStdString(serialLabel(s.ResourceName)));
    s.setIoTimeout();

    s.writeLine("*RST");
    s.writeLine("*CLS");
    s.writeLine("*IDN?");
    s.readReply();
    // A meter that names itself wrongly is still probed: the session stays.
    p_.LabMsg->setText(
        QString::fromUtf8(s.replyStartsWith(kIdentityPrefix) ? kInitialOk : kInitialFail));
    clock_.yield();

    s.writeLine("Rout:state?");
    clock_.pause(kCardProbeDelayMs);
    s.readReply();
    // A time-out leaves the identity in the buffer, which reads as no card.
    if (s.reply().front() == '1') {
        s.ScanCardPresent = 1;
        p_.ChkScanMode->setChecked(true);
    } else {
        s.ScanCardPresent = 0;
        layOutForOneChannel();
    }
    clock_.yield();
}

// The meter's own input measures CH1 only: no math channel, no right axis,
// no scan time, and the channel count fixed at 1.
void MeterInitial::layOutForOneChannel() {
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

}  // namespace tq
