#include "panel/build_areas.h"
#include "panel/panel.h"

namespace tq {

void buildPanel(QWidget* form, Panel& panel) {
    panel.Form1 = form;
    build::buildChartArea(form, panel);
    build::buildTopStrip(form, panel);
    build::buildReadout(form, panel);
    build::buildPointerAndOptionFrames(form, panel);
    build::buildServicePanels(form, panel);
    build::buildMessageFrames(form, panel);
}

}  // namespace tq
