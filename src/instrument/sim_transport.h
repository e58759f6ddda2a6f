#pragma once

#include <memory>
#include <string>

#include "instrument/transport.h"
#include "sim/meter.h"

namespace tq::visa {

// The simulated meter's resource name: a TQ4700 on USB with serial TW00000001.
inline constexpr std::string_view kSimulatedResource = "USB0::0x3A6D::0x0E31::TW00000001::INSTR";

// A session to the in-process simulated meter. A write is one message, as
// on usbtmc, so the meter is told where it ends even without a line feed.
class SimTransport : public Transport {
  public:
    explicit SimTransport(sim::Meter& meter) : meter_(meter) {}

    ViStatus write(std::string_view bytes, ViUInt32& retCount) override;
    ViStatus read(std::span<char> buffer, ViUInt32& retCount) override;
    ViStatus setTimeout(ViUInt32 ms) override;

  private:
    sim::Meter& meter_;
    ViUInt32 timeoutMs_ = kDefaultTimeoutMs;
    MessageRemainder remainder_;
};

// Offers the one simulated meter while it is connected.
class SimSource : public TransportSource {
  public:
    explicit SimSource(std::unique_ptr<sim::Meter> meter) : meter_(std::move(meter)) {}

    std::vector<std::string> list() override;
    bool recognises(std::string_view name) const override;
    ViStatus open(std::string_view name, std::unique_ptr<Transport>& transport) override;

    sim::Meter& meter() { return *meter_; }

  private:
    std::unique_ptr<sim::Meter> meter_;
};

}  // namespace tq::visa
