#pragma once

#include <QComboBox>
#include <QString>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <vector>

#include "channels/channel_setup_state.h"
#include "channels/channel_table.h"
#include "channels/run_parameters.h"
#include "common/virtual_clock.h"
#include "display/scale_controls.h"
#include "panel/message_boxes.h"
#include "panel/panel.h"
#include "panel/widget_app.h"
#include "rules/scale.h"
#include "support/fake_boxes.h"

namespace tq::test {

// A window with the channel set-up controllers wired as the window wires
// them, on virtual time.
struct ChannelWindow {
    ChannelWindow() {
        scaleControls.connectEvents();
        table.connectEvents();
        parameters.connectEvents();
    }

    // A user's pick from a combo box's list.
    static void pick(QComboBox* box, const QString& item) {
        const int index = box->findText(item);
        if (index < 0) {
            throw std::invalid_argument(item.toStdString());
        }
        box->setCurrentIndex(index);
        emit box->activated(index);
    }

    static QStringList items(const QComboBox* box) {
        QStringList out;
        for (int i = 0; i < box->count(); ++i) {
            out << box->itemText(i);
        }
        return out;
    }

    static Panel built(QWidget* form) {
        Panel panel;
        buildPanel(form, panel);
        return panel;
    }

    // The application first, then the clock (the window's timers stop on it
    // as the window goes), then the window, then the controllers on it.
    bool appReady = (widgetApp(), true);
    VirtualClock clock;
    std::unique_ptr<QWidget> form = std::make_unique<QWidget>();
    Panel p = built(form.get());
    ScaleState scale;
    ChannelSetupState setup;
    std::int16_t ScanCardPresent = 1;
    FakeBoxes boxes;
    ScaleControls scaleControls{p, clock, scale};
    ChannelTable table{p, clock, setup, ScanCardPresent, scaleControls};
    RunParameters parameters{p, clock, setup, ScanCardPresent, table, boxes};
};

}  // namespace tq::test
