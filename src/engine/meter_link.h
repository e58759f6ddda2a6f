#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tq {

// The meter as a run talks to it: command lines, a short reply in a
// 64-character field, a long reply, and the status of the latest call.
class MeterLink {
  public:
    virtual ~MeterLink() = default;

    virtual void writeLine(std::string_view line) = 0;
    virtual void blankReply() = 0;
    virtual void readReply() = 0;
    virtual std::string_view reply() const = 0;
    virtual void clearFetch() = 0;
    virtual void readFetch() = 0;
    virtual const std::string& fetchReply() const = 0;

    virtual std::int32_t status() const = 0;
    // Whether a status is a failure, a time-out, a lost connection.
    virtual bool failed(std::int32_t status) const = 0;
    virtual bool timedOut(std::int32_t status) const = 0;
    virtual bool connectionLost(std::int32_t status) const = 0;

    virtual bool scanCardPresent() const = 0;
};

}  // namespace tq
