#include "display/scale_controls.h"

#include <QComboBox>
#include <QLineEdit>
#include <QObject>
#include <QString>
#include <cstddef>
#include <string>

#include "common/clock.h"
#include "common/number_qstring.h"
#include "common/number_text.h"
#include "panel/panel.h"
#include "panel/typed_input.h"
#include "panel/warning_strip.h"

namespace tq {
namespace {

// The two functions whose full scale comes from the first reading of a run
// rather than from the range text; each has its own label set.
constexpr std::string_view kFrequency = "Frequency";
constexpr std::string_view kPeriod = "Period";
constexpr int kChannels = 10;

std::string text(const QComboBox* combo) {
    return combo->currentText().toStdString();
}

QString channelName(int channel) {
    return QStringLiteral("CH") + QString::fromStdString(trimmedNumberText(channel));
}

// "CH1" .. "CH10", as the selectors list them; "Math" and typed texts name
// no channel.
std::optional<int> namedChannel(const QString& s) {
    for (int n = 1; n <= kChannels; ++n) {
        if (s == channelName(n)) {
            return n;
        }
    }
    return std::nullopt;
}

template <std::size_t N>
void writeLabels(const std::array<Label*, N>& labels, const std::array<std::string, N>& texts,
                 std::size_t k) {
    labels[k]->setText(QString::fromStdString(texts[k]));
}

}  // namespace

ScaleControlSet::ScaleControlSet(const Panel& p)
    : CboScale(p.CboScale),
      CboPoint(p.CboPoint),
      CboFunc(p.CboFunc),
      CboRange(p.CboRange),
      TxtRange(p.TxtRange),
      LabY(p.LabY),
      LabY1(p.LabY1),
      LabX(p.LabX),
      warning(p) {}

ScaleControls::ScaleControls(ScaleControlSet controls, Clock& clock, ScaleState& scale)
    : p_(controls), clock_(clock), scale_(scale) {}

void ScaleControls::connectEvents() {
    for (int i = 0; i < static_cast<int>(p_.CboScale.size()); ++i) {
        QComboBox* combo = p_.CboScale[static_cast<std::size_t>(i)];
        QObject::connect(combo, &QComboBox::activated, combo, [this, i] { CboScale_Click(i); });
    }
    for (int i = 0; i < kChannels; ++i) {
        QComboBox* combo = p_.CboRange[static_cast<std::size_t>(i)];
        QObject::connect(combo, &QComboBox::activated, combo, [this, i] { CboRange_Click(i); });
    }
    QObject::connect(p_.CboPoint, &QComboBox::activated, p_.CboPoint, [this] { CboPoint_Click(); });
    TypedInput::attach(p_.CboPoint, [this](TypedInput::Source) { judgeTypedPointsPerScreen(); });
}

// A number typed into the list's field counts as picked, so the axis, the
// step and the run agree on it; one the plot cannot use goes back to the
// number in effect, and the user is told why.
void ScaleControls::judgeTypedPointsPerScreen() {
    if (isTypedPointsPerScreen(text(p_.CboPoint))) {
        CboPoint_Click();
        return;
    }
    showWarningStrip(p_.warning, QString::fromUtf8(kPointsPerScreenWarning));
    p_.CboPoint->setEditText(QString::fromStdString(defaultText(scale_.PointsPerDiv * 10)));
}

void ScaleControls::TransRange(std::string_view function, std::string_view range) {
    tq::TransRange(scale_, function, range);
}

std::optional<int> ScaleControls::leftAxisChannel() const {
    return namedChannel(p_.CboScale[0]->currentText());
}

void ScaleControls::translateLeftAxisChannel() {
    if (const std::optional<int> n = leftAxisChannel()) {
        const auto row = static_cast<std::size_t>(*n - 1);
        TransRange(text(p_.CboFunc[row]), text(p_.CboRange[row]));
    }
}

void ScaleControls::writeLeftAxis(const ValueLabels& labels) {
    for (std::size_t k = 0; k < labels.size(); ++k) {
        writeLabels(p_.LabY, labels, k);
    }
}

void ScaleControls::CboScale_Click(int Index) {
    const QString picked = p_.CboScale[static_cast<std::size_t>(Index)]->currentText();
    if (const std::optional<int> n = namedChannel(picked)) {
        const auto row = static_cast<std::size_t>(*n - 1);
        TransRange(text(p_.CboFunc[row]), text(p_.CboRange[row]));
    }
    clock_.yield();
    // The labels follow the channel on the left axis, whichever selector was
    // picked.
    const std::optional<int> shown = leftAxisChannel();
    const std::string f = shown ? text(p_.CboFunc[static_cast<std::size_t>(*shown - 1)]) : "";
    if (f == kFrequency) {
        writeLeftAxis(frequencyLabels(scale_.FullScaleFreq));
    } else if (f == kPeriod) {
        writeLeftAxis(periodLabels(scale_.FullScalePeriod, kPeriodPictureScaleChoice));
    } else {
        writeLeftAxis(valueLabels(scale_.ScaleValue, scale_.ScaleUnit));
    }
}

void ScaleControls::CboRange_Click(int Index) {
    const auto row = static_cast<std::size_t>(Index);
    const std::string f = text(p_.CboFunc[row]);
    if (!p_.CboScale[0]->currentText().isEmpty()) {
        // All rows of one function show the same range.
        const QString range = p_.CboRange[row]->currentText();
        for (std::size_t i = 0; i < kChannels; ++i) {
            if (i != row && text(p_.CboFunc[i]) == f) {
                p_.CboRange[i]->setEditText(range);
            }
        }
        translateLeftAxisChannel();
        // A Frequency or Period scale that still equals its default says
        // nothing new; the axis keeps what it shows.
        if (f == kFrequency) {
            if (scale_.FreqScaleDefault != scale_.FullScaleFreq) {
                writeLeftAxis(frequencyLabels(scale_.FullScaleFreq));
            }
        } else if (f == kPeriod) {
            if (scale_.PeriodScaleDefault != scale_.FullScalePeriod) {
                writeLeftAxis(periodLabels(scale_.FullScalePeriod, kPeriodPictureRangeChange));
            }
        } else {
            writeLeftAxis(valueLabels(scale_.ScaleValue, scale_.ScaleUnit));
        }
    }
    if (f == kFrequency) {
        scale_.FreqRangeChanged = true;
    } else if (f == kPeriod) {
        scale_.PeriodRangeChanged = true;
    }
}

void ScaleControls::CboPoint_Click() {
    const double n = valOf(p_.CboPoint->currentText());
    setPointsPerScreen(scale_, n);
    const PointLabels labels = pointLabels(n);
    for (std::size_t k = 0; k < labels.size(); ++k) {
        writeLabels(p_.LabX, labels, k);
    }
}

void ScaleControls::DrawScaleLabels() {
    const ValueLabels left = plainLabels(valOf(p_.TxtRange[0]->text()));
    const ValueLabels right = plainLabels(valOf(p_.TxtRange[1]->text()));
    for (std::size_t k = 0; k < left.size(); ++k) {
        writeLabels(p_.LabY, left, k);
        writeLabels(p_.LabY1, right, k);
        clock_.yield();
    }
    const PointLabels points = pointLabels(valOf(p_.CboPoint->currentText()));
    for (std::size_t k = 0; k < points.size(); ++k) {
        writeLabels(p_.LabX, points, k);
        clock_.yield();
    }
}

void ScaleControls::refreshLeftAxis(int channel) {
    // The selector passes through a neighbour and back; only the second pass
    // decides what the axis shows, and both run the whole handler.
    const int neighbour = channel > 1 ? channel - 1 : channel + 1;
    p_.CboScale[0]->setEditText(channelName(neighbour));
    CboScale_Click(0);
    p_.CboScale[0]->setEditText(channelName(channel));
    CboScale_Click(0);
}

void ScaleControls::writeMathLabels() {
    const ValueLabels labels = plainLabels(scale_.MathFullScale);
    for (std::size_t k = 0; k < labels.size(); ++k) {
        writeLabels(p_.LabY1, labels, k);
        clock_.yield();
    }
}

}  // namespace tq
