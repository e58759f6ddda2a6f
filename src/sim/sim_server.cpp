#include "sim/sim_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <limits>
#include <utility>

#include "common/clock.h"
#include "common/log.h"
#include "common/trace_format.h"

namespace tq::sim {

namespace {

constexpr std::size_t readChunk = 4096;
constexpr std::size_t replyChunk = 64 * 1024;
// Longest sleep while a reply is due.
constexpr std::int64_t kReplyWaitMs = 10;

std::string systemError(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

bool setNonBlocking(int fd) {
    const int flags = ::fcntl(fd, F_GETFL, 0);
    return flags >= 0 && ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

}  // namespace

struct SimServer::Connection {
    UniqueFd socket;
    std::string unsent;
    bool peerClosed = false;  // the host shut its side: answer what is pending, then close
    bool failed = false;      // the socket or the meter is gone

    explicit Connection(UniqueFd fd) : socket(std::move(fd)) {}
};

SimServer::SimServer(Clock& clock, ServerOptions options, std::ostream* log)
    : clock_(clock), options_(std::move(options)), log_(log), meter_(clock, options_.meter) {
    meter_.setTranscriptKept(false);  // the server logs the socket bytes itself
}

SimServer::~SimServer() {
    connections_.clear();
}

std::optional<std::string> SimServer::open() {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    // Only the address asked for: no name look-up, no wildcard by default.
    hints.ai_flags = AI_NUMERICHOST | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(options_.port);
    const int status =
        ::getaddrinfo(options_.listenAddress.c_str(), service.c_str(), &hints, &found);
    if (status != 0) {
        return "bad listen address " + options_.listenAddress + ": " + ::gai_strerror(status);
    }
    const std::unique_ptr<addrinfo, decltype(&::freeaddrinfo)> guard(found, ::freeaddrinfo);

    UniqueFd listener(
        ::socket(found->ai_family, found->ai_socktype | SOCK_CLOEXEC, found->ai_protocol));
    if (!listener.valid()) {
        return systemError("socket");
    }
    const int yes = 1;
    ::setsockopt(listener.get(), SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    if (::bind(listener.get(), found->ai_addr, found->ai_addrlen) != 0) {
        return systemError("bind " + options_.listenAddress + " port " + service);
    }
    if (::listen(listener.get(), 8) != 0) {
        return systemError("listen");
    }
    if (!setNonBlocking(listener.get())) {
        return systemError("fcntl");
    }
    sockaddr_storage bound{};
    socklen_t length = sizeof bound;
    if (::getsockname(listener.get(), reinterpret_cast<sockaddr*>(&bound), &length) != 0) {
        return systemError("getsockname");
    }
    port_ = ntohs(bound.ss_family == AF_INET6 ? reinterpret_cast<sockaddr_in6*>(&bound)->sin6_port
                                              : reinterpret_cast<sockaddr_in*>(&bound)->sin_port);
    listener_ = std::move(listener);
    return std::nullopt;
}

void SimServer::trace(char direction, std::string_view bytes) {
    if (log_ != nullptr) {
        *log_ << traceLine(clock_.tickUs(), direction, bytes);
        log_->flush();
    }
}

void SimServer::acceptConnections() {
    while (true) {
        UniqueFd accepted(
            ::accept4(listener_.get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
        if (!accepted.valid()) {
            return;  // EAGAIN: no more waiting; other errors: try again next round
        }
        if (!meter_.connected()) {
            qCDebug(lcSim, "connection refused: the meter is off");
            continue;  // the meter is switched off: the connection closes at once
        }
        qCDebug(lcSim, "connection %d taken; %zu dropped", accepted.get(), connections_.size());
        while (!connections_.empty()) {
            dropConnection(0);
        }
        connections_.push_back(std::make_unique<Connection>(std::move(accepted)));
    }
}

void SimServer::dropConnection(std::size_t index) {
    connections_.erase(connections_.begin() + static_cast<std::ptrdiff_t>(index));
    if (meter_.connected()) {
        meter_.clear();
    }
}

bool SimServer::receiveFrom(Connection& connection) {
    std::array<char, readChunk> buffer{};
    while (true) {
        const ssize_t n = ::recv(connection.socket.get(), buffer.data(), buffer.size(), 0);
        if (n > 0) {
            const std::string_view bytes(buffer.data(), static_cast<std::size_t>(n));
            trace('>', bytes);
            meter_.receive(bytes);
            if (!meter_.connected()) {
                return false;  // the meter vanished (fault injection)
            }
            continue;
        }
        if (n == 0) {
            meter_.endMessage();
            connection.peerClosed = true;
            return meter_.connected();
        }
        return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
    }
}

void SimServer::collectReplies(Connection& connection) {
    while (true) {
        const auto reply = meter_.read(replyChunk, 0);
        if (reply.status != Meter::ReadStatus::Ok) {
            return;
        }
        connection.unsent += reply.bytes;
    }
}

bool SimServer::sendTo(Connection& connection) {
    while (!connection.unsent.empty()) {
        const ssize_t n = ::send(connection.socket.get(), connection.unsent.data(),
                                 connection.unsent.size(), MSG_NOSIGNAL);
        if (n < 0) {
            return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
        }
        trace('<', std::string_view(connection.unsent).substr(0, static_cast<std::size_t>(n)));
        connection.unsent.erase(0, static_cast<std::size_t>(n));
    }
    return true;
}

int SimServer::pollTimeoutMs() const {
    const std::optional<std::int64_t> earliest =
        connections_.empty() ? std::nullopt : meter_.nextReplyMs();
    if (!earliest) {
        return -1;
    }
    // Never long, so that a clock running faster than the wall (a test's)
    // is followed as closely as the real one.
    const std::int64_t wait =
        std::clamp<std::int64_t>(*earliest - clock_.tickMs(), 0, kReplyWaitMs);
    return static_cast<int>(wait);
}

void SimServer::run(const std::function<bool()>& stopRequested, const sigset_t* pollMask) {
    std::vector<pollfd> fds;
    while (!stopRequested()) {
        for (auto& connection : connections_) {
            collectReplies(*connection);
        }
        // Close what is finished: a vanished meter, or a host that has gone
        // and has nothing more coming.
        std::erase_if(connections_, [this](const auto& c) {
            return !meter_.connected() ||
                   (c->peerClosed && c->unsent.empty() && !meter_.nextReplyMs());
        });

        fds.assign(1, pollfd{.fd = listener_.get(), .events = POLLIN, .revents = 0});
        for (const auto& connection : connections_) {
            short events = connection->peerClosed ? 0 : POLLIN;
            if (!connection->unsent.empty()) {
                events |= POLLOUT;
            }
            // A closed host with nothing to send yet waits on the timeout
            // alone (a hung-up socket would wake poll at once, again and again).
            const int fd = events == 0 ? -1 : connection->socket.get();
            fds.push_back({.fd = fd, .events = events, .revents = 0});
        }
        const int timeoutMs = pollTimeoutMs();
        timespec timeout{.tv_sec = timeoutMs / 1000, .tv_nsec = (timeoutMs % 1000) * 1000000L};
        const int ready =
            ::ppoll(fds.data(), fds.size(), timeoutMs < 0 ? nullptr : &timeout, pollMask);
        if (ready < 0) {
            continue;  // EINTR: a signal; the loop condition looks at it
        }
        // fds[i + 1] belongs to connections_[i]; accepting comes last so the
        // two stay in step.
        for (std::size_t i = 0; i < connections_.size(); ++i) {
            Connection& connection = *connections_[i];
            const short revents = fds[i + 1].revents;
            bool keep = true;
            if ((revents & (POLLIN | POLLHUP)) != 0 && !connection.peerClosed) {
                keep = receiveFrom(connection);
            }
            if (keep && (revents & POLLERR) != 0) {
                keep = false;
            }
            if (keep) {
                collectReplies(connection);
                keep = sendTo(connection);
            }
            connection.failed = !keep;
        }
        for (std::size_t i = connections_.size(); i-- > 0;) {
            if (connections_[i]->failed) {
                dropConnection(i);
            }
        }
        if ((fds[0].revents & POLLIN) != 0) {
            acceptConnections();
        }
    }
}

}  // namespace tq::sim
