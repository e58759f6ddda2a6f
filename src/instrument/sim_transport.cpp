#include "instrument/sim_transport.h"

#include <cstdint>

namespace tq::visa {
namespace {

// The meter hands a reply over whole up to this size, like one usbtmc read.
constexpr std::size_t kMessageBytes = 64 * 1024;

}  // namespace

ViStatus SimTransport::write(std::string_view bytes, ViUInt32& retCount) {
    retCount = 0;
    if (!meter_.connected()) {
        return VI_ERROR_CONN_LOST;
    }
    meter_.receive(bytes);
    meter_.endMessage();
    retCount = static_cast<ViUInt32>(bytes.size());
    return VI_SUCCESS;
}

ViStatus SimTransport::read(std::span<char> buffer, ViUInt32& retCount) {
    retCount = 0;
    if (!remainder_.empty()) {
        return remainder_.take(buffer, retCount);
    }
    // VI_TMO_INFINITE stays its own number of milliseconds (49 days): the
    // meter adds the time-out to its clock.
    const std::int64_t timeout = timeoutMs_;
    auto result = meter_.read(kMessageBytes, timeout);
    // On a failure VISA still hands over what arrived.
    remainder_.assign(result.bytes);
    const ViStatus taken = remainder_.take(buffer, retCount);
    switch (result.status) {
        case sim::Meter::ReadStatus::Ok:
            return taken;
        case sim::Meter::ReadStatus::Timeout:
            // As the usbtmc transport does: a reply that comes after its
            // read gave up must not be taken for the next query's.
            meter_.clear();
            return VI_ERROR_TMO;
        case sim::Meter::ReadStatus::Disconnected:
            return VI_ERROR_CONN_LOST;
    }
    return VI_ERROR_SYSTEM_ERROR;
}

ViStatus SimTransport::setTimeout(ViUInt32 ms) {
    timeoutMs_ = ms;
    return VI_SUCCESS;
}

std::vector<std::string> SimSource::list() {
    if (!meter_->connected()) {
        return {};
    }
    return {std::string(kSimulatedResource)};
}

bool SimSource::recognises(std::string_view name) const {
    return sameResourceName(name, kSimulatedResource);
}

ViStatus SimSource::open(std::string_view /*name*/, std::unique_ptr<Transport>& transport) {
    if (!meter_->connected()) {
        return VI_ERROR_RSRC_NFOUND;
    }
    transport = std::make_unique<SimTransport>(*meter_);
    return VI_SUCCESS;
}

}  // namespace tq::visa
