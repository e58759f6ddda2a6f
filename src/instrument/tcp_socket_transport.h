#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/unique_fd.h"
#include "instrument/transport.h"

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
// peer that goes away gives VI_ERROR_CONN_LOST, never a signal. A read that
// times out opens the connection afresh, so that a late reply cannot answer
// a later query; when that fails, the link is lost.
class TcpSocketTransport : public Transport {
  public:
    // reason: the system's words when no connection is made.
    static ViStatus open(const SocketAddress& address, std::unique_ptr<Transport>& transport,
                         std::string& reason);

    ViStatus write(std::string_view bytes, ViUInt32& retCount) override;
    ViStatus read(std::span<char> buffer, ViUInt32& retCount) override;
    ViStatus setTimeout(ViUInt32 ms) override;
    int systemError() const override { return error_; }

  private:
    TcpSocketTransport(SocketAddress address, UniqueFd fd);
    static ViStatus connect(const SocketAddress& address, UniqueFd& fd, std::string& reason);
    ViStatus deliver(std::span<char> buffer, std::size_t count, ViStatus status,
                     ViUInt32& retCount);
    // false: the link is lost.
    bool reconnect();

    SocketAddress address_;
    UniqueFd fd_;
    ViUInt32 timeoutMs_ = kDefaultTimeoutMs;
    std::string pending_;
    bool lost_ = false;
    // A lost link keeps the error that lost it.
    int error_ = 0;
};

// Sockets cannot be discovered: a search lists none, a name opens directly.
class TcpSocketSource : public TransportSource {
  public:
    std::vector<std::string> list() override { return {}; }
    bool recognises(std::string_view name) const override;
    ViStatus open(std::string_view name, std::unique_ptr<Transport>& transport) override;
    std::string openFailure() const override { return failure_; }

  private:
    std::string failure_;
};

}  // namespace tq::visa
