#include "instrument/tracing_visa.h"

#include <algorithm>

#include "common/trace_format.h"

namespace tq::visa {

TracingVisa::TracingVisa(std::unique_ptr<VisaApi> inner, std::unique_ptr<std::ostream> trace,
                         std::function<std::int64_t()> micros, const std::string& startLine)
    : inner_(std::move(inner)),
      trace_(std::move(trace)),
      micros_(std::move(micros)),
      start_(micros_()) {
    put(startLine);
}

void TracingVisa::put(const std::string& line) {
    *trace_ << line;
    trace_->flush();
}

ViStatus TracingVisa::openDefaultRM(ViSession& rm) {
    return inner_->openDefaultRM(rm);
}

ViStatus TracingVisa::findRsrc(ViSession rm, std::string_view expr, ViFindList& list,
                               ViUInt32& count, std::string& desc) {
    return inner_->findRsrc(rm, expr, list, count, desc);
}

ViStatus TracingVisa::findNext(ViFindList list, std::string& desc) {
    return inner_->findNext(list, desc);
}

ViStatus TracingVisa::open(ViSession rm, std::string_view name, ViUInt32 mode, ViUInt32 openTimeout,
                           ViSession& vi) {
    return inner_->open(rm, name, mode, openTimeout, vi);
}

ViStatus TracingVisa::setAttribute(ViObject vi, ViAttr attr, ViAttrState value) {
    return inner_->setAttribute(vi, attr, value);
}

ViStatus TracingVisa::write(ViSession vi, std::string_view bytes, ViUInt32& retCount) {
    const std::int64_t sent = elapsed();
    const ViStatus status = inner_->write(vi, bytes, retCount);
    put(traceLine(sent, '>', bytes));
    return status;
}

ViStatus TracingVisa::read(ViSession vi, std::span<char> buffer, ViUInt32& retCount) {
    const ViStatus status = inner_->read(vi, buffer, retCount);
    const std::size_t received = std::min<std::size_t>(retCount, buffer.size());
    if (received > 0 || !failed(status)) {
        put(traceLine(elapsed(), '<', std::string_view(buffer.data(), received)));
    }
    if (failed(status)) {
        put(traceFailureLine(elapsed(), statusName(status)));
    }
    return status;
}

ViStatus TracingVisa::close(ViObject object) {
    return inner_->close(object);
}

ViStatus TracingVisa::statusDesc(ViObject vi, ViStatus status, std::string& desc) {
    return inner_->statusDesc(vi, status, desc);
}

}  // namespace tq::visa
