#include "instrument/link_factory.h"

#include <QDateTime>
#include <chrono>
#include <fstream>
#include <stdexcept>

#include "common/clock.h"
#include "common/trace_format.h"
#include "instrument/builtin_visa.h"
#include "instrument/named_resource_visa.h"
#include "instrument/sim_transport.h"
#include "instrument/system_visa.h"
#include "instrument/tcp_socket_transport.h"
#include "instrument/tracing_visa.h"
#include "instrument/usbtmc_transport.h"

namespace tq::visa {
namespace {

// A VISA library that was asked for but is not there: the program behaves
// as it does without VISA, its start-up reporting the library error.
class UnavailableVisa : public VisaApi {
  public:
    explicit UnavailableVisa(std::string problem) : problem_(std::move(problem)) {}

    ViStatus openDefaultRM(ViSession& rm) override {
        rm = VI_NULL;
        return VI_ERROR_SYSTEM_ERROR;
    }
    ViStatus findRsrc(ViSession, std::string_view, ViFindList& list, ViUInt32& count,
                      std::string&) override {
        list = VI_NULL;
        count = 0;
        return VI_ERROR_INV_SESSION;
    }
    ViStatus findNext(ViFindList, std::string&) override { return VI_ERROR_INV_OBJECT; }
    ViStatus open(ViSession, std::string_view, ViUInt32, ViUInt32, ViSession& vi) override {
        vi = VI_NULL;
        return VI_ERROR_INV_SESSION;
    }
    ViStatus setAttribute(ViObject, ViAttr, ViAttrState) override { return VI_ERROR_INV_OBJECT; }
    ViStatus write(ViSession, std::string_view, ViUInt32& retCount) override {
        retCount = 0;
        return VI_ERROR_INV_SESSION;
    }
    ViStatus read(ViSession, std::span<char>, ViUInt32& retCount) override {
        retCount = 0;
        return VI_ERROR_INV_SESSION;
    }
    ViStatus close(ViObject object) override {
        return object == VI_NULL ? VI_WARN_NULL_OBJECT : VI_ERROR_INV_OBJECT;
    }
    ViStatus statusDesc(ViObject, ViStatus, std::string& desc) override {
        desc = problem_;
        return VI_SUCCESS;
    }

  private:
    std::string problem_;
};

void chooseProvider(const LinkOptions& options, Link& link) {
    if (options.simulator) {
        if (options.clock == nullptr) {
            throw std::invalid_argument("the simulated meter needs a clock");
        }
        auto source = std::make_unique<SimSource>(
            std::make_unique<sim::Meter>(*options.clock, *options.simulator));
        link.meter = &source->meter();
        std::vector<std::unique_ptr<TransportSource>> sources;
        sources.push_back(std::move(source));
        sources.push_back(std::make_unique<TcpSocketSource>());
        link.visa = std::make_unique<BuiltinVisa>(std::move(sources));
        link.description = "built-in, simulated meter";
        return;
    }
    if (!options.visaLibrary.empty()) {
        std::string problem;
        if (auto library = SystemVisa::load(options.visaLibrary, problem)) {
            link.visa = std::move(library);
            link.description = "system VISA " + options.visaLibrary;
        } else {
            link.visa = std::make_unique<UnavailableVisa>(problem);
            link.description = "no VISA";
            link.problems.push_back(problem);
        }
        return;
    }
    if (options.searchSystemVisa) {
        for (const auto& candidate : systemVisaCandidates()) {
            std::string problem;
            if (auto library = SystemVisa::load(candidate, problem)) {
                link.visa = std::move(library);
                link.description = "system VISA " + candidate;
                return;
            }
        }
    }
    std::vector<std::unique_ptr<TransportSource>> sources;
    sources.push_back(std::make_unique<UsbtmcSource>(options.sysRoot, options.devRoot));
    sources.push_back(std::make_unique<TcpSocketSource>());
    link.visa = std::make_unique<BuiltinVisa>(std::move(sources));
    link.description = "built-in";
}

std::function<std::int64_t()> traceClock(const LinkOptions& options) {
    if (options.simulator && options.clock != nullptr) {
        // The simulator's transcript and the trace then share one time line.
        Clock* clock = options.clock;
        return [clock] { return clock->tickUs(); };
    }
    return [] {
        return std::chrono::duration_cast<std::chrono::microseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    };
}

// Taken as the trace opens, beside its time 0.
std::string traceStart() {
    const QDateTime now = QDateTime::currentDateTime();
    return traceStartLine(TQ_VERSION, now.toMSecsSinceEpoch(), now.offsetFromUtc());
}

}  // namespace

Link openLink(const LinkOptions& options) {
    Link link;
    chooseProvider(options, link);
    if (!options.resource.empty()) {
        link.visa = std::make_unique<NamedResourceVisa>(std::move(link.visa), options.resource);
        link.description += ", resource " + options.resource;
    }
    if (!options.traceFile.empty()) {
        auto trace = std::make_unique<std::ofstream>(options.traceFile, std::ios::binary);
        if (*trace) {
            link.visa = std::make_unique<TracingVisa>(std::move(link.visa), std::move(trace),
                                                      traceClock(options), traceStart());
        } else {
            link.problems.push_back("cannot write the trace file " + options.traceFile.string());
        }
    }
    return link;
}

}  // namespace tq::visa
