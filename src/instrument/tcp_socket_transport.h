#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "instrument/transport.h"
#include "instrument/unique_fd.h"

namespace tq::visa {

// The parts of "TCPIP[board]::host::port::SOCKET".
struct SocketAddress {
    std::string host;
    std::string port;
};
std::optional<SocketAddress> parseSocketResource(std::string_view name);

// SCPI over a raw TCP socket, as a VISA SOCKET resource with "\n" as its
// termination character: a read ends at the "\n", at the caller's count
// (the rest stays for the next read) or at the time-out, wherever the TCP
// segments happen to end. Nothing ever blocks beyond the time-out, and a
// peer that goes away gives VI_ERROR_CONN_LOST, never a signal.
class TcpSocketTransport : public Transport {
  public:
    static ViStatus open(const SocketAddress& address, std::unique_ptr<Transport>& transport);

    ViStatus write(std::string_view bytes, ViUInt32& retCount) override;
    ViStatus read(std::span<char> buffer, ViUInt32& retCount) override;
    ViStatus setTimeout(ViUInt32 ms) override;

  private:
    explicit TcpSocketTransport(UniqueFd fd);
    ViStatus deliver(std::span<char> buffer, std::size_t count, ViStatus status,
                     ViUInt32& retCount);

    // Drops what arrived since a read timed out, before the next command.
    void dropLateReplies();

    UniqueFd fd_;
    ViUInt32 timeoutMs_ = kDefaultTimeoutMs;
    std::string pending_;
    bool lost_ = false;
    bool timedOut_ = false;
};

// Sockets cannot be discovered: a search lists none, a name opens directly.
class TcpSocketSource : public TransportSource {
  public:
    std::vector<std::string> list() override { return {}; }
    bool recognises(std::string_view name) const override;
    ViStatus open(std::string_view name, std::unique_ptr<Transport>& transport) override;
};

}  // namespace tq::visa
