#pragma once

#include <QCoreApplication>
#include <QString>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/form1.h"
#include "common/virtual_clock.h"
#include "instrument/forwarding_visa.h"
#include "instrument/link_factory.h"
#include "panel/message_boxes.h"
#include "panel/widget_app.h"
#include "support/fake_boxes.h"
#include "wire_log.h"

namespace tq::test {

// Passes every call on and names it, so a test sees which calls were made.
class RecordingVisa : public visa::ForwardingVisa {
  public:
    using ForwardingVisa::ForwardingVisa;

    visa::ViStatus openDefaultRM(visa::ViSession& rm) override {
        const visa::ViStatus s = ForwardingVisa::openDefaultRM(rm);
        calls.push_back("openDefaultRM -> " + std::to_string(rm));
        return s;
    }
    visa::ViStatus findRsrc(visa::ViSession rm, std::string_view expr, visa::ViFindList& list,
                            visa::ViUInt32& count, std::string& desc) override {
        calls.push_back("findRsrc " + std::to_string(rm) + " " + std::string(expr));
        return ForwardingVisa::findRsrc(rm, expr, list, count, desc);
    }
    visa::ViStatus findNext(visa::ViFindList list, std::string& desc) override {
        calls.push_back("findNext");
        return ForwardingVisa::findNext(list, desc);
    }
    visa::ViStatus open(visa::ViSession rm, std::string_view name, visa::ViUInt32 mode,
                        visa::ViUInt32 timeout, visa::ViSession& vi) override {
        calls.push_back("open " + std::string(name) + " " + std::to_string(mode) + " " +
                        std::to_string(timeout));
        return ForwardingVisa::open(rm, name, mode, timeout, vi);
    }
    visa::ViStatus setAttribute(visa::ViObject vi, visa::ViAttr attr,
                                visa::ViAttrState value) override {
        calls.push_back("setAttribute " + std::to_string(attr) + " " + std::to_string(value));
        return ForwardingVisa::setAttribute(vi, attr, value);
    }
    visa::ViStatus write(visa::ViSession vi, std::string_view bytes,
                         visa::ViUInt32& count) override {
        calls.push_back("write " + std::to_string(bytes.size()));
        return ForwardingVisa::write(vi, bytes, count);
    }
    visa::ViStatus read(visa::ViSession vi, std::span<char> buffer,
                        visa::ViUInt32& count) override {
        calls.push_back("read " + std::to_string(buffer.size()));
        return ForwardingVisa::read(vi, buffer, count);
    }
    visa::ViStatus close(visa::ViObject object) override {
        const visa::ViStatus s = ForwardingVisa::close(object);
        calls.push_back("close " + std::to_string(object) + " -> " + std::to_string(s));
        return s;
    }

    std::vector<std::string> calls;
};

// The window on virtual time over a link, as main builds it; Exit's end of
// the program is only counted.
struct AppRig {
    explicit AppRig(visa::LinkOptions options, Options window = {}) {
        widgetApp();
        clock.setYieldHook([] { QCoreApplication::processEvents(); });
        options.clock = &clock;
        link = visa::openLink(options);
        recorder = std::make_unique<RecordingVisa>(*link.visa);
        form = std::make_unique<Form1>(Form1Services{.clock = clock,
                                                     .boxes = boxes,
                                                     .visa = *recorder,
                                                     .options = window,
                                                     .endProgram = [this] { ++endCount; }});
    }

    static visa::LinkOptions simulated(sim::Options meter = {}) {
        visa::LinkOptions options;
        options.searchSystemVisa = false;
        options.simulator = std::move(meter);
        return options;
    }

    std::vector<std::string> hostLines() const { return test::hostLines(*link.meter); }

    Panel& p() { return form->panel(); }

    VirtualClock clock;
    FakeBoxes boxes;
    visa::Link link;
    std::unique_ptr<RecordingVisa> recorder;
    std::unique_ptr<Form1> form;
    int endCount = 0;
};

}  // namespace tq::test
