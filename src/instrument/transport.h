#pragma once

#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "instrument/visa_types.h"

namespace tq::visa {

// One open link to one instrument: bytes out, bytes in, an I/O time-out.
// The destructor closes the link.
class Transport {
  public:
    virtual ~Transport() = default;

    // One call is one message; nothing is appended.
    virtual ViStatus write(std::string_view bytes, ViUInt32& retCount) = 0;
    // Up to buffer.size() bytes; VI_SUCCESS_MAX_CNT when the message goes on.
    virtual ViStatus read(std::span<char> buffer, ViUInt32& retCount) = 0;
    // Milliseconds, or VI_TMO_INFINITE.
    virtual ViStatus setTimeout(ViUInt32 ms) = 0;
    // The errno behind the latest call's failure, 0 when the status says it
    // all (a time-out, a closed connection): a message can then name what
    // the system saw ("connection reset by peer").
    virtual int systemError() const { return 0; }
};

// One kind of resource (usbtmc devices, sockets, the simulated meter): what
// it can list for a search, and how to open one of its names.
class TransportSource {
  public:
    virtual ~TransportSource() = default;

    // Resources present now; a source whose resources cannot be discovered
    // (sockets) lists none.
    virtual std::vector<std::string> list() = 0;
    // Whether the name is of this source's kind; open() then answers for it.
    virtual bool recognises(std::string_view name) const = 0;
    virtual ViStatus open(std::string_view name, std::unique_ptr<Transport>& transport) = 0;
    // Why the latest open() failed, in the system's words ("connection
    // refused"); empty when there is nothing to add to the status.
    virtual std::string openFailure() const { return {}; }
};

// VISA's default I/O time-out.
inline constexpr ViUInt32 kDefaultTimeoutMs = 2000;

// The rest of a message that did not fit the caller's count, handed out by
// the following reads (usbtmc and the simulated meter receive whole
// messages; VISA gives them out count by count).
class MessageRemainder {
  public:
    bool empty() const { return bytes_.empty(); }
    void assign(std::string_view message) { bytes_.assign(message); }
    void clear() { bytes_.clear(); }
    // VI_SUCCESS_MAX_CNT while bytes remain after this piece, else VI_SUCCESS.
    ViStatus take(std::span<char> buffer, ViUInt32& retCount);

  private:
    std::string bytes_;
};

// strerror's words for an errno, starting in lower case ("permission
// denied"), to follow a resource name in a message.
std::string systemWords(int error);

// Case-insensitive comparison of resource names (VISA names ignore case).
bool sameResourceName(std::string_view a, std::string_view b);

}  // namespace tq::visa
