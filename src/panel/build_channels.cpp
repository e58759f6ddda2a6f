#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QLineEdit>
#include <array>

#include "panel/build_areas.h"
#include "panel/build_helpers.h"

namespace tq::build {

namespace {

// The channel rows sit at irregular heights in the channel panel.
constexpr std::array<int, 10> kChannelRowTops{540,  990,  1350, 1800, 2250,
                                              2700, 3150, 3600, 4050, 4500};

// Where each control of a channel row sits inside its FrameCH.
struct ChannelRowLayout {
    Box name;
    Box legend;
    Box function;
    Box range;
    Box filter;
    Box drawn;
};

constexpr ChannelRowLayout kRow{
    .name = {60, 45, 555, 285},
    .legend = {675, 105, 165, 165},
    .function = {900, 30, 1215, 315},
    .range = {2160, 30, 1005, 315},
    .filter = {3210, 30, 780, 315},
    .drawn = {4020, 90, 195, 195},
};

QStringList functionList(int channel) {
    QStringList functions{"DCV", "ACV", "Frequency", "Period", "2WR"};
    // Four-wire resistance borrows the row five channels up, so only the
    // first five channels offer it.
    if (channel < 5) {
        functions << "4WR";
    }
    return functions;
}

void buildChannelRow(Frame* frame4, int i, Panel& p) {
    Frame* row = frame(frame4, indexed("FrameCH", i), {60, kChannelRowTops[i], 4245, 375},
                       look::kPanelGrey, false);
    p.FrameCH[i] = row;
    p.Lab1x[i] = boxLabel(row, indexed("Lab1x", i), kRow.name, QStringLiteral("CH%1").arg(i + 1),
                          look::arial(9));
    p.Shape1[i] = circle(row, indexed("Shape1", i), kRow.legend, Qt::white);
    p.CboFunc[i] = comboBox(row, indexed("CboFunc", i), kRow.function, "DCV", functionList(i));
    p.CboRange[i] = comboBox(row, indexed("CboRange", i), kRow.range, "100V",
                             {"AUTO", "1000V", "100V", "10V", "1V", "100mV"});
    p.CboFilter[i] =
        comboBox(row, indexed("CboFilter", i), kRow.filter, "20Hz", {"3Hz", "20Hz", "200Hz"});
    p.CboFilter[i]->hide();
    // The caption is there but the box is too small to show it.
    p.ChkCH[i] = checkBox(row, indexed("ChkCH", i), kRow.drawn, "Check1", true);
    if (i > 0) {
        row->hide();
    }
}

void buildChannelPanel(Frame* frame1, Panel& p) {
    p.Frame4 = frame(frame1, "Frame4", {90, 270, 4365, 7005}, look::kPanelGrey, true);
    p.ChkPoint = checkBox(p.Frame4, "ChkPoint", {120, 150, 1815, 285}, "Pointer Disable", false,
                          look::arial(9.75));
    for (int i = 0; i < 10; ++i) {
        buildChannelRow(p.Frame4, i, p);
    }
}

// The math row reads "( A op B )  x K + C = result": the factor and offset
// boxes sit in the blank runs of one formula label, so they are placed from
// the label's own text metrics.
void buildMathRow(Frame* frame1, Panel& p) {
    Frame* math = frame(frame1, "FrameMath", {4440, 7350, 9165, 705}, look::kPanelGrey, true);
    p.FrameMath = math;
    math->setFont(look::arial(9));
    math->setCaption("Math");

    constexpr int kTop = 300;
    constexpr int kHeight = 315;
    const QFont formulaFont = look::arial(9.75);
    p.Shape1[10] = circle(math, indexed("Shape1", 10), {120, 375, 165, 165}, look::kRed);
    p.Label1[0] = label(math, indexed("Label1", 0), {345, kTop, 150, kHeight}, "(", formulaFont);
    p.Cbo1[0] = comboBox(math, indexed("Cbo1", 0), {510, kTop, 975, kHeight}, "", channelNames(10));
    p.Cbo2 = comboBox(math, "Cbo2", {1530, kTop, 735, kHeight}, "", {"加", "減", "乘", "除"},
                      look::ming(10.5, true));
    p.Cbo1[1] =
        comboBox(math, indexed("Cbo1", 1), {2310, kTop, 975, kHeight}, "", channelNames(10));

    const QString formula =
        QStringLiteral(")  x                         +                           =");
    const QFontMetrics metrics(formulaFont);
    const auto twipsOf = [&](qsizetype chars) {
        return pixelsToTwips(metrics.horizontalAdvance(formula.left(chars)));
    };
    constexpr int kLeft = 3330;
    constexpr int kGap = 60;
    const qsizetype plus = formula.indexOf('+');
    const qsizetype equals = formula.indexOf('=');
    const int formulaWidth = twipsOf(formula.size());
    p.Label1[1] = label(math, indexed("Label1", 1), {kLeft, kTop, formulaWidth + kGap, kHeight},
                        formula, formulaFont);

    const int factorLeft = kLeft + twipsOf(4) + kGap;
    const int offsetLeft = kLeft + twipsOf(plus + 1) + kGap;
    p.Text2 = textBox(math, "Text2",
                      {factorLeft, kTop, kLeft + twipsOf(plus) - kGap - factorLeft, kHeight}, "1");
    p.Text3 =
        textBox(math, "Text3",
                {offsetLeft, kTop, kLeft + twipsOf(equals) - kGap - offsetLeft, kHeight}, "0");
    p.Text4 = textBox(math, "Text4", {kLeft + formulaWidth + 2 * kGap, kTop, 2115, kHeight}, "0");
}

}  // namespace

void buildChartArea(QWidget* form, Panel& p) {
    p.Frame1 = frame(form, "Frame1", {30, 900, 15165, 9045}, look::kPanelGrey, false);
    buildChannelPanel(p.Frame1, p);
    buildPlotPanel(p.Frame1, p);
    buildMathRow(p.Frame1, p);
    p.ChkMath = checkBox(p.Frame1, "ChkMath", {3390, 7590, 975, 285}, "Math", true);
    p.LabSN = label(p.Frame1, "LabSN", {13320, 30, 1455, 285}, "", look::arial(9));
}

}  // namespace tq::build
