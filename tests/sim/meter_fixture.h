#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>

#include "common/virtual_clock.h"
#include "sim/meter.h"

namespace tq::sim::test {

// A meter on a virtual clock, spoken to line by line as a host does.
class MeterFixture : public ::testing::Test {
  protected:
    void start(Options options = {}) { meter = std::make_unique<Meter>(clock, std::move(options)); }
    void SetUp() override { start(); }

    void send(std::string_view line) { meter->receive(std::string(line) + "\n"); }

    // The reply as read with the front panel's 2000 ms time-out, or
    // "<timeout>" / "<disconnected>".
    std::string read(std::int64_t timeoutMs = 2000) {
        const auto result = meter->read(4096, timeoutMs);
        switch (result.status) {
            case Meter::ReadStatus::Ok:
                return result.bytes;
            case Meter::ReadStatus::Timeout:
                return "<timeout>";
            case Meter::ReadStatus::Disconnected:
                return "<disconnected>";
        }
        return {};
    }

    std::string query(std::string_view line) {
        send(line);
        return read();
    }

    // The next entry of the error queue.
    std::string nextError() { return query("SYST:ERR?"); }

    VirtualClock clock;
    std::unique_ptr<Meter> meter;
};

}  // namespace tq::sim::test
