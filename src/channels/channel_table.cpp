#include "channels/channel_table.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QObject>
#include <QString>
#include <cstddef>
#include <string>

#include "catalogue/catalogue.h"
#include "channels/channel_setup_state.h"
#include "common/clock.h"
#include "common/number_text.h"
#include "display/scale_controls.h"
#include "panel/field_value.h"
#include "panel/panel.h"

namespace tq {
namespace {

constexpr auto kRows = static_cast<std::size_t>(catalogue::kChannelCount);

// The diagnostic offsets move each trace this many twips further up than
// the channel before it, so overlapping traces come apart.
constexpr double kDiagnosticOffsetStep = -100;

std::string text(const QComboBox* combo) {
    return combo->currentText().toStdString();
}

QString qText(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// A catalogue function that this row offers. A text typed into the box that
// the row's list lacks (a four-wire function below CH5, whose sense partner
// would lie past CH10) is treated like any text outside the catalogue.
const catalogue::Function* offeredFunction(std::string_view name, std::size_t row) {
    const catalogue::Function* f = catalogue::findFunction(name);
    return f != nullptr && static_cast<int>(row) < f->lastChannel ? f : nullptr;
}

// Raises a time field to a minimum; a field at or above it is left alone.
void raiseTo(QLineEdit* field, double minimum) {
    if (fieldValue(field) < minimum) {
        field->setText(textOf(minimum));
    }
}

}  // namespace

ChannelTable::ChannelTable(Panel& panel, Clock& clock, ChannelSetupState& setup,
                           const std::int16_t& scanCardPresent, ScaleControls& scale)
    : p_(panel), clock_(clock), setup_(setup), ScanCardPresent(scanCardPresent), scale_(scale) {}

void ChannelTable::connectEvents() {
    for (int i = 0; i < catalogue::kChannelCount; ++i) {
        const auto row = static_cast<std::size_t>(i);
        QComboBox* func = p_.CboFunc[row];
        QObject::connect(func, &QComboBox::activated, func, [this, i] { CboFunc_Click(i); });
        QComboBox* filter = p_.CboFilter[row];
        QObject::connect(filter, &QComboBox::activated, filter, [this, i] { CboFilter_Click(i); });
        Label* name = p_.Lab1x[row];
        QObject::connect(name, &Label::clicked, name, [this, i] { Lab1x_Click(i); });
    }
    QObject::connect(p_.Check1, &QCheckBox::toggled, p_.Check1, [this] { Check1_Click(); });
}

void ChannelTable::CboFunc_Click(int Index) {
    const auto row = static_cast<std::size_t>(Index);
    const std::string picked = text(p_.CboFunc[row]);
    if (const catalogue::Function* f = offeredFunction(picked, row)) {
        const auto mode = p_.ChkScanMode->isChecked() ? RunMode::ScanCard : RunMode::MainUnit;
        QComboBox* range = p_.CboRange[row];
        range->clear();
        for (std::string_view r : catalogue::rangeList(*f, mode)) {
            range->addItem(qText(r));
        }
        range->setEditText(qText(f->defaultRange));
        takeDonorRange(Index);

        p_.CboFilter[row]->setVisible(f->isAc);
        if (f->isAc) {
            takeSharedFilter(Index);
            setup_.MinScanTime = catalogue::kAcPickMinScanTime;
            setup_.MinTrigDelay = catalogue::kAcPickMinTrigDelay;
            p_.TxtScanTimer->setText(textOf(setup_.MinScanTime));
            p_.TxtTrigDelay->setText(textOf(setup_.MinTrigDelay));
            // The meter measures with the shared filter, which may need
            // more time than those defaults give it.
            raiseToFilterMinima(text(p_.CboFilter[row]));
        }
        // A four-wire channel senses on the channel five up; that row is
        // taken for good, leaving "4WR" gives it nothing back.
        if (f->senseChannelOffset > 0) {
            const std::size_t partner = row + static_cast<std::size_t>(f->senseChannelOffset);
            if (partner < kRows) {
                p_.FrameCH[partner]->hide();
                p_.CboFunc[partner]->setEditText(qText(catalogue::kNoFunction));
            }
        }
    }
    recheckAcRows();
    scale_.CboRange_Click(Index);
}

// All rows of one function start from the same range: the first other row
// holding the function, shown or not, gives its range. A range the row's
// list no longer offers (the donor still holds a range of the other mode
// during a mode switch) is not taken, so a scan-card row never carries a
// range the card cannot switch.
void ChannelTable::takeDonorRange(int Index) {
    const auto row = static_cast<std::size_t>(Index);
    QComboBox* range = p_.CboRange[row];
    const QString function = p_.CboFunc[row]->currentText();
    for (std::size_t k = 0; k < kRows; ++k) {
        if (k != row && p_.CboFunc[k]->currentText() == function) {
            const QString donor = p_.CboRange[k]->currentText();
            if (range->findText(donor, Qt::MatchExactly) >= 0) {
                range->setEditText(donor);
            }
            return;
        }
        clock_.yield();
    }
}

// The AC rows share one filter: a row becoming AC shows the one the other
// AC rows measure with, not a text of its own left from earlier.
void ChannelTable::takeSharedFilter(int Index) {
    const auto row = static_cast<std::size_t>(Index);
    for (std::size_t k = 0; k < kRows; ++k) {
        if (k != row && catalogue::isAcFunction(text(p_.CboFunc[k]))) {
            p_.CboFilter[row]->setEditText(p_.CboFilter[k]->currentText());
            return;
        }
    }
}

void ChannelTable::raiseToFilterMinima(std::string_view filter) {
    const catalogue::Filter* f = catalogue::findFilter(filter);
    if (f == nullptr) {
        return;
    }
    if (ScanCardPresent == 1) {
        setup_.MinScanTime = f->minScanTimeCard;
        setup_.MinTrigDelay = f->minTrigDelayCard;
        raiseTo(p_.TxtScanTimer, setup_.MinScanTime);
        raiseTo(p_.TxtTrigDelay, setup_.MinTrigDelay);
    } else {
        // The meter's own input has no scan timer.
        setup_.MinTrigDelay = f->minTrigDelayNoCard;
        raiseTo(p_.TxtTrigDelay, setup_.MinTrigDelay);
    }
}

void ChannelTable::recheckAcRows() {
    for (std::size_t k = 0; k < kRows; ++k) {
        if (!p_.FrameCH[k]->isHidden() && catalogue::isAcFunction(text(p_.CboFunc[k]))) {
            setup_.NoAcChannel = false;
            return;
        }
        clock_.yield();
    }
    setup_.NoAcChannel = true;
    setup_.MinScanTime = 0;
    setup_.MinTrigDelay = 0;
}

void ChannelTable::CboFilter_Click(int Index) {
    const auto row = static_cast<std::size_t>(Index);
    const QString picked = p_.CboFilter[row]->currentText();
    // All AC rows share one filter, shown or not. The other rows keep it
    // too: the run sends the lowest filter of every row it scans, and a row
    // that becomes AC later takes it up.
    for (std::size_t k = 0; k < kRows; ++k) {
        if (k != row) {
            p_.CboFilter[k]->setEditText(picked);
        }
        clock_.yield();
    }
    raiseToFilterMinima(picked.toStdString());
}

void ChannelTable::Lab1x_Click(int Index) {
    // CH1 is always measured.
    if (Index == 0) {
        return;
    }
    const auto row = static_cast<std::size_t>(Index);
    p_.FrameCH[row]->hide();
    p_.CboFunc[row]->setEditText(qText(catalogue::kNoFunction));
}

void ChannelTable::Check1_Click() {
    const bool on = p_.Check1->isChecked();
    for (std::size_t k = 0; k < kRows; ++k) {
        const double offset = on ? kDiagnosticOffsetStep * static_cast<double>(k + 1) : 0;
        p_.TxtCal[k]->setText(textOf(offset));
    }
    p_.Frame2->setVisible(on);
}

}  // namespace tq
