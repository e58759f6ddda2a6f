#pragma once

#include "engine/meter_link.h"
#include "instrument/session.h"
#include "instrument/visa_types.h"

namespace tq {

// The instrument session as the run engine talks to the meter.
class SessionLink : public MeterLink {
  public:
    explicit SessionLink(InstrumentSession& session) : s_(session) {}

    void writeLine(std::string_view line) override { s_.writeLine(line); }
    void blankReply() override { s_.blankReply(); }
    void readReply() override { s_.readReply(); }
    std::string_view reply() const override { return s_.reply(); }
    void clearFetch() override { s_.clearFetch(); }
    void readFetch() override { s_.readFetch(); }
    const std::string& fetchReply() const override { return s_.FetchBuf; }

    std::int32_t status() const override { return s_.VisaStatus; }
    bool failed(std::int32_t status) const override { return visa::failed(status); }
    bool timedOut(std::int32_t status) const override { return status == visa::VI_ERROR_TMO; }
    bool connectionLost(std::int32_t status) const override {
        return status == visa::VI_ERROR_CONN_LOST;
    }

    bool scanCardPresent() const override { return s_.ScanCardPresent == 1; }

  private:
    InstrumentSession& s_;
};

}  // namespace tq
