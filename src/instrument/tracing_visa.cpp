#include "instrument/tracing_visa.h"

#include <algorithm>

#include "common/trace_format.h"

namespace tq::visa {

TracingVisa::TracingVisa(std::unique_ptr<VisaApi> inner, std::unique_ptr<std::ostream> trace,
                         std::function<std::int64_t()> micros, const std::string& startLine)
    : ForwardingVisa(std::move(inner)),
      trace_(std::move(trace)),
      micros_(std::move(micros)),
      start_(micros_()) {
    put(startLine);
}

void TracingVisa::put(const std::string& line) {
    *trace_ << line;
    trace_->flush();
}

ViStatus TracingVisa::write(ViSession vi, std::string_view bytes, ViUInt32& retCount) {
    const std::int64_t sent = elapsed();
    const ViStatus status = inner().write(vi, bytes, retCount);
    put(traceLine(sent, '>', bytes));
    return status;
}

ViStatus TracingVisa::read(ViSession vi, std::span<char> buffer, ViUInt32& retCount) {
    const ViStatus status = inner().read(vi, buffer, retCount);
    const std::size_t received = std::min<std::size_t>(retCount, buffer.size());
    if (received > 0 || !failed(status)) {
        put(traceLine(elapsed(), '<', std::string_view(buffer.data(), received)));
    }
    if (failed(status)) {
        put(traceFailureLine(elapsed(), statusName(status)));
    }
    return status;
}

}  // namespace tq::visa
