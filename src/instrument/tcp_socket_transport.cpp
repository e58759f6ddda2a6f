#include "instrument/tcp_socket_transport.h"

#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <climits>

namespace tq::visa {
namespace {

using Deadline = std::optional<std::chrono::steady_clock::time_point>;

Deadline deadlineAfter(ViUInt32 ms) {
    if (ms == VI_TMO_INFINITE) {
        return std::nullopt;
    }
    return std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
}

// Waits for events until the deadline: 1 ready, 0 time-out, -1 error.
int waitUntil(int fd, short events, const Deadline& deadline, short& revents) {
    while (true) {
        int timeout = -1;
        if (deadline) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                *deadline - std::chrono::steady_clock::now());
            timeout = static_cast<int>(std::clamp<std::int64_t>(left.count(), 0, INT_MAX));
        }
        pollfd entry{.fd = fd, .events = events, .revents = 0};
        const int ready = ::poll(&entry, 1, timeout);
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        revents = entry.revents;
        return ready;
    }
}

bool isBoardPrefix(std::string_view field) {
    if (field.size() < 5 || !sameResourceName(field.substr(0, 5), "TCPIP")) {
        return false;
    }
    return std::ranges::all_of(field.substr(5), [](char c) { return c >= '0' && c <= '9'; });
}

// Non-blocking connect bounded by the default time-out.
ViStatus connectTo(const addrinfo& info, UniqueFd& socketFd, std::string& reason) {
    UniqueFd fd(::socket(info.ai_family, info.ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK,
                         info.ai_protocol));
    if (!fd.valid()) {
        reason = systemWords(errno);
        return VI_ERROR_SYSTEM_ERROR;
    }
    if (::connect(fd.get(), info.ai_addr, info.ai_addrlen) != 0) {
        if (errno != EINPROGRESS) {
            reason = systemWords(errno);
            return VI_ERROR_RSRC_NFOUND;
        }
        short revents = 0;
        const int ready = waitUntil(fd.get(), POLLOUT, deadlineAfter(kDefaultTimeoutMs), revents);
        if (ready == 0) {
            reason = "no answer within " + std::to_string(kDefaultTimeoutMs) + " ms";
            return VI_ERROR_TMO;
        }
        int error = 0;
        socklen_t length = sizeof error;
        if (ready < 0 || ::getsockopt(fd.get(), SOL_SOCKET, SO_ERROR, &error, &length) != 0) {
            reason = systemWords(errno);
            return VI_ERROR_RSRC_NFOUND;
        }
        if (error != 0) {
            reason = systemWords(error);
            return VI_ERROR_RSRC_NFOUND;
        }
    }
    // Every SCPI line is a message of its own: send it at once.
    const int on = 1;
    ::setsockopt(fd.get(), IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    socketFd = std::move(fd);
    return VI_SUCCESS;
}

}  // namespace

// TCPIP[board]::host::port::SOCKET. An IPv6 address stands in brackets, as
// VISA writes it ("TCPIP0::[::1]::5025::SOCKET"): its own colons would cut
// the name.
std::optional<SocketAddress> parseSocketResource(std::string_view name) {
    const auto takeUntil = [&name](std::string_view separator) -> std::optional<std::string_view> {
        const auto end = name.find(separator);
        if (end == std::string_view::npos) {
            return std::nullopt;
        }
        const std::string_view field = name.substr(0, end);
        name.remove_prefix(end + separator.size());
        return field;
    };
    const std::optional<std::string_view> board = takeUntil("::");
    if (!board || !isBoardPrefix(*board)) {
        return std::nullopt;
    }
    const bool bracketed = name.starts_with('[');
    if (bracketed) {
        name.remove_prefix(1);
    }
    const std::optional<std::string_view> host = takeUntil(bracketed ? "]::" : "::");
    const std::optional<std::string_view> port = takeUntil("::");
    if (!host || host->empty() || !port || port->empty() ||
        !std::ranges::all_of(*port, [](char c) { return c >= '0' && c <= '9'; }) ||
        !sameResourceName(name, "SOCKET")) {
        return std::nullopt;
    }
    return SocketAddress{.host = std::string(*host), .port = std::string(*port)};
}

TcpSocketTransport::TcpSocketTransport(SocketAddress address, UniqueFd fd)
    : address_(std::move(address)), fd_(std::move(fd)) {}

ViStatus TcpSocketTransport::connect(const SocketAddress& address, UniqueFd& fd,
                                     std::string& reason) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* list = nullptr;
    if (const int error =
            ::getaddrinfo(address.host.c_str(), address.port.c_str(), &hints, &list)) {
        reason = ::gai_strerror(error);
        return VI_ERROR_RSRC_NFOUND;
    }
    const std::unique_ptr<addrinfo, decltype(&::freeaddrinfo)> owner(list, &::freeaddrinfo);
    ViStatus status = VI_ERROR_RSRC_NFOUND;
    for (const addrinfo* info = list; info != nullptr; info = info->ai_next) {
        status = connectTo(*info, fd, reason);
        if (!failed(status)) {
            return status;
        }
    }
    return status;
}

ViStatus TcpSocketTransport::open(const SocketAddress& address,
                                  std::unique_ptr<Transport>& transport, std::string& reason) {
    UniqueFd fd;
    const ViStatus status = connect(address, fd, reason);
    if (!failed(status)) {
        transport.reset(new TcpSocketTransport(address, std::move(fd)));
    }
    return status;
}

// A socket has no device clear: a reply that comes after its read timed out
// would be taken for the answer to the next query, and every reply after it
// would be one behind. A new connection leaves behind whatever the old one
// still brings, as pyvisa users do by hand; the instrument keeps its
// settings across connections.
bool TcpSocketTransport::reconnect() {
    pending_.clear();
    fd_.reset();
    std::string reason;
    if (failed(connect(address_, fd_, reason))) {
        lost_ = true;
        return false;
    }
    return true;
}

ViStatus TcpSocketTransport::write(std::string_view bytes, ViUInt32& retCount) {
    retCount = 0;
    if (lost_) {
        return VI_ERROR_CONN_LOST;
    }
    error_ = 0;
    const Deadline deadline = deadlineAfter(timeoutMs_);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::send(fd_.get(), bytes.data() + done, bytes.size() - done,
                                 MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n >= 0) {
            done += static_cast<std::size_t>(n);
            retCount = static_cast<ViUInt32>(done);
            continue;
        }
        if (errno == EINTR) {
            continue;
        }
        if (errno != EAGAIN && errno != EWOULDBLOCK) {
            error_ = errno;
            lost_ = true;
            return VI_ERROR_CONN_LOST;
        }
        short revents = 0;
        const int ready = waitUntil(fd_.get(), POLLOUT, deadline, revents);
        if (ready == 0) {
            return VI_ERROR_TMO;
        }
        if (ready < 0) {
            error_ = errno;
            return VI_ERROR_SYSTEM_ERROR;
        }
    }
    return VI_SUCCESS;
}

ViStatus TcpSocketTransport::deliver(std::span<char> buffer, std::size_t count, ViStatus status,
                                     ViUInt32& retCount) {
    count = std::min({count, buffer.size(), pending_.size()});
    std::copy_n(pending_.begin(), count, buffer.begin());
    pending_.erase(0, count);
    retCount = static_cast<ViUInt32>(count);
    return status;
}

ViStatus TcpSocketTransport::read(std::span<char> buffer, ViUInt32& retCount) {
    retCount = 0;
    if (!lost_) {
        error_ = 0;
    }
    const Deadline deadline = deadlineAfter(timeoutMs_);
    while (true) {
        const auto end = pending_.find('\n');
        if (end != std::string::npos && end < buffer.size()) {
            return deliver(buffer, end + 1, VI_SUCCESS_TERM_CHAR, retCount);
        }
        if (pending_.size() >= buffer.size()) {
            return deliver(buffer, buffer.size(), VI_SUCCESS_MAX_CNT, retCount);
        }
        if (lost_) {
            return deliver(buffer, pending_.size(), VI_ERROR_CONN_LOST, retCount);
        }
        short revents = 0;
        const int ready = waitUntil(fd_.get(), POLLIN, deadline, revents);
        if (ready == 0) {
            // VISA hands over what arrived before the time-out.
            const ViStatus status = deliver(buffer, pending_.size(), VI_ERROR_TMO, retCount);
            return reconnect() ? status : VI_ERROR_CONN_LOST;
        }
        if (ready < 0) {
            error_ = errno;
            return VI_ERROR_SYSTEM_ERROR;
        }
        std::array<char, 4096> chunk{};
        const ssize_t n = ::recv(fd_.get(), chunk.data(), chunk.size(), MSG_DONTWAIT);
        if (n > 0) {
            pending_.append(chunk.data(), static_cast<std::size_t>(n));
        } else if (n == 0) {
            lost_ = true;  // peer closed
        } else if (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK) {
            error_ = errno;  // reset, unreachable, ...
            lost_ = true;
        }
    }
}

ViStatus TcpSocketTransport::setTimeout(ViUInt32 ms) {
    timeoutMs_ = ms;
    return VI_SUCCESS;
}

bool TcpSocketSource::recognises(std::string_view name) const {
    return parseSocketResource(name).has_value();
}

ViStatus TcpSocketSource::open(std::string_view name, std::unique_ptr<Transport>& transport) {
    failure_.clear();
    const auto address = parseSocketResource(name);
    return address ? TcpSocketTransport::open(*address, transport, failure_)
                   : VI_ERROR_INV_RSRC_NAME;
}

}  // namespace tq::visa
