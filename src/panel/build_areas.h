#pragma once

#include "panel/panel.h"

// One builder per area of the window; buildPanel calls them back to front,
// so later areas lie over earlier ones.
namespace tq::build {

// Frame1 with the channel panel, the math row and its switch.
void buildChartArea(QWidget* form, Panel& p);
// Frame3 inside Frame1: scale selectors, the plot with its overlays, axes.
void buildPlotPanel(Frame* frame1, Panel& p);
// The controls along the top edge and the loose ones on the window.
void buildTopStrip(QWidget* form, Panel& p);
// Frame5: the live read-out.
void buildReadout(QWidget* form, Panel& p);
// The pointer bars, the mode cover and the scan/trigger drop-down.
void buildPointerAndOptionFrames(QWidget* form, Panel& p);
// The hidden service panels Frame6, Frame7 and Frame2.
void buildServicePanels(QWidget* form, Panel& p);
// The save panel, the warning strip and the message frame (topmost).
void buildMessageFrames(QWidget* form, Panel& p);

}  // namespace tq::build
