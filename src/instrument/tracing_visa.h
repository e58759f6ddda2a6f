#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <string>

#include "instrument/forwarding_visa.h"

namespace tq::visa {

// Writes every message sent and every reply received to a trace, one line
// each with its time since the trace began (--trace FILE). A failed read
// shows its status, after whatever bytes it brought. Each line is flushed
// at once, so a trace survives a crash or a hang.
class TracingVisa : public ForwardingVisa {
  public:
    // micros: the time in microseconds on any monotonic origin. startLine
    // (traceStartLine) is written first: the wall time of the trace's 0.
    TracingVisa(std::unique_ptr<VisaApi> inner, std::unique_ptr<std::ostream> trace,
                std::function<std::int64_t()> micros, const std::string& startLine);

    ViStatus write(ViSession vi, std::string_view bytes, ViUInt32& retCount) override;
    ViStatus read(ViSession vi, std::span<char> buffer, ViUInt32& retCount) override;

  private:
    std::int64_t elapsed() const { return micros_() - start_; }
    void put(const std::string& line);

    std::unique_ptr<std::ostream> trace_;
    std::function<std::int64_t()> micros_;
    std::int64_t start_;
};

}  // namespace tq::visa
