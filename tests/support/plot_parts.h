#pragma once

#include <QApplication>
#include <QWidget>

#include "common/virtual_clock.h"
#include "display/trend_plot.h"
#include "panel/panel.h"
#include "panel/widget_app.h"
#include "rules/scale.h"
#include "store/record_store.h"

namespace tq::test {

// The trend plot with what it draws from, on a panel a test builds into
// `form`; the application comes first, before any widget.
struct PlotParts {
    QApplication& app = widgetApp();
    QWidget form;
    Panel p;
    VirtualClock clock;
    ScaleState scale;
    RecordStore store;
    TrendPlot plot{p, clock, scale, store};
};

}  // namespace tq::test
