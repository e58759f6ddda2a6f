#include <QComboBox>

#include "panel/build_areas.h"
#include "panel/build_helpers.h"

namespace tq::build {

namespace {

constexpr int kPlotWidth = 9000;
constexpr int kPlotHeight = 5400;

// The grid is built with every line on the first one; the start-up layout
// spreads them 450 twips apart and shows them.
void buildGrid(PlotSurface* plot, Panel& p) {
    for (int i = 0; i < static_cast<int>(p.LineY.size()); ++i) {
        p.LineY[i] =
            line(plot, indexed("LineY", i), 0, 450, kPlotWidth, 450, look::kGridGrey, true);
        p.LineY[i]->setVisible(i == 0);
    }
    for (int i = 0; i < static_cast<int>(p.LineX.size()); ++i) {
        p.LineX[i] = line(plot, indexed("LineX", i), 0, 0, 0, kPlotHeight, look::kGridGrey, true);
        p.LineX[i]->setVisible(i == 0);
    }
    p.LineYhl[0] =
        line(plot, indexed("LineYhl", 0), 0, 210, kPlotWidth, 210, look::kLevelRed, true);
    p.LineYhl[1] =
        line(plot, indexed("LineYhl", 1), 0, 270, kPlotWidth, 270, look::kLevelRed, true);
    p.LineX0 = line(plot, "LineX0", 4500, 0, 4500, kPlotHeight, look::kCentreGrey, false);
    p.LineY0 = line(plot, "LineY0", 0, 2700, kPlotWidth, 2700, look::kCentreGrey, false);
}

void buildPlot(Frame* frame3, Panel& p) {
    auto* plot = new PlotSurface(frame3);
    plot->setObjectName("PicScope");
    place(plot, {750, 660, kPlotWidth, kPlotHeight});
    p.PicScope = plot;
    buildGrid(plot, p);
    // The marker goes last so it lies over the grid.
    p.Shape2 = circle(plot, "Shape2", {4432, 2632, 135, 135}, look::kCyan);
    p.Shape2->setBorderColor(look::kCyan);
    p.Shape2->hide();
}

// Left and right value labels stand 450 twips apart from the plot's bottom
// edge upward; the right column's top label sits a little lower.
void buildValueAxes(Frame* frame3, Panel& p) {
    const QFont font = look::arial(7.5);
    p.FrameY1[0] =
        frame(frame3, indexed("FrameY1", 0), {60, 450, 675, 5745}, look::kPanelGrey, false);
    p.FrameY1[1] =
        frame(frame3, indexed("FrameY1", 1), {9720, 450, 795, 5745}, look::kPanelGrey, false);
    for (int k = 0; k < 13; ++k) {
        const int top = 5520 - 450 * k;
        p.LabY[k] = label(p.FrameY1[0], indexed("LabY", k), {15, top, 630, 225}, "0", font,
                          Qt::black, Qt::AlignCenter);
        p.LabY1[k] = label(p.FrameY1[1], indexed("LabY1", k), {30, k == 12 ? 180 : top, 720, 225},
                           "0", font, Qt::black, Qt::AlignCenter);
    }
}

// Point numbers under the plot, and the elapsed-time row beneath them.
void buildTimeAxes(Frame* frame3, Panel& p) {
    const QFont font = look::arial(7.5);
    p.FrameX[0] =
        frame(frame3, indexed("FrameX", 0), {390, 6180, 9795, 345}, look::kPanelGrey, false);
    p.FrameX[1] =
        frame(frame3, indexed("FrameX", 1), {390, 6540, 9795, 345}, look::kPanelGrey, false);
    for (int k = 0; k < 11; ++k) {
        const int numberLeft = k == 10 ? 9060 : 90 + 900 * k;
        const int timeLeft = k == 2 ? 1810 : 900 * k;
        p.LabX[k] = label(p.FrameX[0], indexed("LabX", k), {numberLeft, 60, 600, 225}, "0", font,
                          Qt::black, Qt::AlignCenter);
        p.LabX1[k] = label(p.FrameX[1], indexed("LabX1", k), {timeLeft, 60, 750, 225}, "0", font,
                           Qt::black, Qt::AlignCenter);
    }
}

}  // namespace

void buildPlotPanel(Frame* frame1, Panel& p) {
    p.Frame3 = frame(frame1, "Frame3", {4440, 270, 10635, 7005}, look::kPanelGrey, true);
    p.CboScale[0] =
        comboBox(p.Frame3, indexed("CboScale", 0), {120, 180, 855, 315}, "CH1", channelNames(10));
    p.CboScale[1] = comboBox(p.Frame3, indexed("CboScale", 1), {9660, 180, 855, 315}, "Math",
                             channelNames(10) << "Math");
    p.CboScale[1]->setEnabled(false);
    // The right axis frame reaches two pixels into the plot; the plot lies over it.
    buildValueAxes(p.Frame3, p);
    buildTimeAxes(p.Frame3, p);
    buildPlot(p.Frame3, p);
}

}  // namespace tq::build
