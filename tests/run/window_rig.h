#pragma once

#include <QLineEdit>
#include <QPushButton>
#include <memory>
#include <utility>

#include "app/form1.h"
#include "common/virtual_clock.h"
#include "engine/scripted_visa.h"
#include "instrument/link_factory.h"
#include "panel/widget_app.h"
#include "support/fake_boxes.h"

namespace tq::test {

// The program's window over the simulated meter (its reads scripted where a
// test says) on a virtual clock, after its start-up.
struct WindowRig {
    explicit WindowRig(sim::Options meter = {})
        : link(visa::openLink(simulated(std::move(meter), clock))),
          form(std::make_unique<Form1>(Form1Services{
              .clock = clock, .boxes = boxes, .visa = scripted, .options = {}, .endProgram = {}})),
          p(form->panel()) {
        form->runStartUp();
    }
    static visa::LinkOptions simulated(sim::Options meter, Clock& clock) {
        visa::LinkOptions options;
        options.searchSystemVisa = false;
        options.simulator = std::move(meter);
        options.clock = &clock;
        return options;
    }

    // Rows 1..n in use, the others hidden, and the channel count.
    void useRows(int n) {
        for (std::size_t i = 0; i < p.FrameCH.size(); ++i) {
            p.FrameCH[i]->setVisible(static_cast<int>(i) < n);
        }
        p.TxtChNo->setText(QString::number(n));
    }
    void run(int recordLength) {
        p.TxtRecordLen->setText(QString::number(recordLength));
        p.Command1->click();
    }
    std::size_t linesSent() const {
        std::size_t n = 0;
        for (const sim::TranscriptEntry& e : link.meter->transcript()) {
            n += e.fromHost ? 1 : 0;
        }
        return n;
    }

    QApplication& app = widgetApp();
    VirtualClock clock;
    FakeBoxes boxes;
    visa::Link link;
    ScriptedVisa scripted{*link.visa, clock};
    std::unique_ptr<Form1> form;
    Panel& p;
};

}  // namespace tq::test
