#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <string>

#include "instrument/visa_api.h"

namespace tq::visa {

// Writes every message sent and every reply received to a trace, one line
// each with its time since the trace began (--trace FILE). A failed read
// shows its status, after whatever bytes it brought. Each line is flushed
// at once, so a trace survives a crash or a hang.
class TracingVisa : public VisaApi {
  public:
    // micros: the time in microseconds on any monotonic origin. startLine
    // (traceStartLine) is written first: the wall time of the trace's 0.
    TracingVisa(std::unique_ptr<VisaApi> inner, std::unique_ptr<std::ostream> trace,
                std::function<std::int64_t()> micros, const std::string& startLine);

    ViStatus openDefaultRM(ViSession& rm) override;
    ViStatus findRsrc(ViSession rm, std::string_view expr, ViFindList& list, ViUInt32& count,
                      std::string& desc) override;
    ViStatus findNext(ViFindList list, std::string& desc) override;
    ViStatus open(ViSession rm, std::string_view name, ViUInt32 mode, ViUInt32 openTimeout,
                  ViSession& vi) override;
    ViStatus setAttribute(ViObject vi, ViAttr attr, ViAttrState value) override;
    ViStatus write(ViSession vi, std::string_view bytes, ViUInt32& retCount) override;
    ViStatus read(ViSession vi, std::span<char> buffer, ViUInt32& retCount) override;
    ViStatus close(ViObject object) override;
    ViStatus statusDesc(ViObject vi, ViStatus status, std::string& desc) override;

  private:
    std::int64_t elapsed() const { return micros_() - start_; }
    void put(const std::string& line);

    std::unique_ptr<VisaApi> inner_;
    std::unique_ptr<std::ostream> trace_;
    std::function<std::int64_t()> micros_;
    std::int64_t start_;
};

}  // namespace tq::visa
