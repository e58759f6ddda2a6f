#include "channels/run_parameters.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QObject>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QString>
#include <cstddef>

#include "catalogue/catalogue.h"
#include "channels/channel_setup_state.h"
#include "channels/channel_table.h"
#include "common/clock.h"
#include "common/number_text.h"
#include "panel/field_value.h"
#include "panel/message_boxes.h"
#include "panel/panel.h"
#include "panel/typed_input.h"
#include "panel/warning_strip.h"

namespace tq {
namespace {

constexpr int kRows = catalogue::kChannelCount;
static_assert((kPanelShownTop - kPanelHiddenTop) % kPanelSlideStep == 0,
              "the slide must come to rest exactly at both ends");

}  // namespace

RunParameters::RunParameters(Panel& panel, Clock& clock, ChannelSetupState& setup,
                             const std::int16_t& scanCardPresent, ChannelTable& table,
                             MessageBoxes& boxes)
    : p_(panel),
      clock_(clock),
      setup_(setup),
      ScanCardPresent(scanCardPresent),
      table_(table),
      boxes_(boxes),
      channelCountInEffect_(p_.TxtChNo->text()) {
    p_.Timer1->setClock(&clock_);
}

void RunParameters::connectEvents() {
    using Source = TypedInput::Source;
    TypedInput::attach(p_.TxtChNo, [this](Source source) {
        if (source == Source::User) {
            judgeTypedChannelCount();
        } else {
            TxtChNo_Change();
        }
    });
    TypedInput::attach(p_.TxtRecordLen, [this](Source) { TxtRecordLen_Change(); });
    TypedInput::attach(p_.TxtSleep, [this](Source) { TxtSleep_Change(); });
    QObject::connect(p_.TxtScanTimer, &QLineEdit::textChanged, p_.TxtScanTimer,
                     [this] { TxtScanTimer_Change(); });
    QObject::connect(p_.TxtTrigDelay, &QLineEdit::textChanged, p_.TxtTrigDelay,
                     [this] { TxtTrigDelay_Change(); });
    QObject::connect(p_.ChkScanMode, &PictureCheckBox::toggled, p_.ChkScanMode,
                     [this] { ChkScanMode_Click(); });
    for (int i = 0; i < static_cast<int>(p_.ChkTest.size()); ++i) {
        PictureCheckBox* toggle = p_.ChkTest[static_cast<std::size_t>(i)];
        QObject::connect(toggle, &PictureCheckBox::toggled, toggle,
                         [this, i] { ChkTest_Click(i); });
    }
    QObject::connect(p_.CmdOther, &QPushButton::clicked, p_.CmdOther, [this] { CmdOther_Click(); });
    QObject::connect(p_.ComdReadMem, &QPushButton::clicked, p_.ComdReadMem,
                     [this] { ComdReadMem_Click(); });
    QObject::connect(p_.Timer1, &Timer::timer, p_.Timer1, [this] { Timer1_Timer(); });
}

void RunParameters::setStartDefaults() {
    setup_ = ChannelSetupState{};
}

// A row in use shows its set-up and its read-out together.
void RunParameters::showRow(int row, bool shown) {
    const auto i = static_cast<std::size_t>(row);
    p_.FrameCH[i]->setVisible(shown);
    p_.Lab1f[i]->setVisible(shown);
    p_.TxtDshow[i]->setVisible(shown);
}

void RunParameters::TxtChNo_Change() {
    // Counts outside 1..10 (an empty field among them) change nothing; a
    // fractional count shows its whole rows.
    const double n = fieldValue(p_.TxtChNo);
    if (!(n > 0 && n <= kRows)) {
        return;
    }
    channelCountInEffect_ = p_.TxtChNo->text();
    for (int i = 0; i < kRows; ++i) {
        showRow(i, i + 1 <= n);
    }
}

// A typed count outside 1..10 goes back to the count in effect, and the user
// is told why.
void RunParameters::judgeTypedChannelCount() {
    const double n = fieldValue(p_.TxtChNo);
    if (n > 0 && n <= kRows) {
        TxtChNo_Change();
        return;
    }
    showWarningStrip(p_, QString::fromUtf8(kChannelCountWarning));
    p_.TxtChNo->setText(channelCountInEffect_);
}

void RunParameters::TxtRecordLen_Change() {
    if (fieldValue(p_.TxtRecordLen) > kRecordLengthLimit) {
        boxes_.show(QString::fromUtf8(kRecordLengthMessage), defaultMessageTitle(),
                    MessageBoxes::Buttons::Ok, MessageBoxes::Icon::None);
        p_.TxtRecordLen->setText(textOf(kRecordLengthLimit));
    }
}

void RunParameters::TxtSleep_Change() {
    if (fieldValue(p_.TxtSleep) < kIntervalFloor) {
        showWarningStrip(p_, QString::fromUtf8(kIntervalWarning));
        // Runs this handler once more; the floor itself is accepted.
        p_.TxtSleep->setText(textOf(kIntervalFloor));
    }
}

void RunParameters::TxtScanTimer_Change() {}

void RunParameters::TxtTrigDelay_Change() {}

void RunParameters::ChkScanMode_Click() {
    if (ScanCardPresent == 1) {
        const bool scanCard = p_.ChkScanMode->isChecked();
        if (scanCard) {
            // Rows above the channel count stay as they are.
            const double n = fieldValue(p_.TxtChNo);
            for (int i = 1; i < kRows; ++i) {
                if (i + 1 <= n) {
                    showRow(i, true);
                }
            }
        } else {
            // The meter's own input measures CH1 only.
            for (int i = 1; i < kRows; ++i) {
                showRow(i, false);
            }
        }
        // Scan time and the math channel exist only with the card.
        p_.Label2[5]->setVisible(scanCard);
        p_.TxtScanTimer->setVisible(scanCard);
        p_.ChkMath->setVisible(scanCard);
        p_.FrameMath->setVisible(scanCard);
        clock_.yield();
    } else {
        p_.ChkScanMode->setEnabled(false);
    }
    // Every row's range list follows the mode now in force.
    for (int i = 0; i < kRows; ++i) {
        table_.CboFunc_Click(i);
    }
}

void RunParameters::CmdOther_Click() {
    // The slide yields at every step; a click meanwhile would start a second
    // slide inside this one and leave the panel between its rest positions.
    if (sliding_) {
        return;
    }
    const QScopedValueRollback slide(sliding_, true);
    const int left = twipsGeometry(p_.FrameOther).left();
    const bool shown = twipsGeometry(p_.FrameOther).top() == kPanelShownTop;
    const int from = shown ? kPanelShownTop : kPanelHiddenTop;
    const int to = shown ? kPanelHiddenTop : kPanelShownTop;
    const int step = shown ? -kPanelSlideStep : kPanelSlideStep;
    for (int top = from;; top += step) {
        moveTwips(p_.FrameOther, left, top);
        clock_.yield();
        if (top == to) {
            break;
        }
    }
}

void RunParameters::Timer1_Timer() {
    p_.Timer1->setEnabled(false);
    p_.Frame8->hide();
}

// The run reads the toggles itself after every point.
void RunParameters::ChkTest_Click(int /*Index*/) {}

void RunParameters::ComdReadMem_Click() {}

}  // namespace tq
