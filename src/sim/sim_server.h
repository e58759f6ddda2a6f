#pragma once

#include <csignal>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "common/unique_fd.h"
#include "sim/meter.h"
#include "sim/server_options.h"

namespace tq {
class Clock;
}

// The socket side of tq4700-sim: one listening socket and one simulated
// meter, all on one thread with poll(). The meter is one instrument: its
// settings outlive a connection, and the newest connection takes it over
// (a host that reconnects after a time-out finds the meter as it left it,
// without the replies still owed to the old connection). A socket
// instrument has no end-of-message marker but the line feed, so a message
// without one counts when its connection closes. A meter that has vanished
// (fault injection) closes every later connection at once.
namespace tq::sim {

class SimServer {
  public:
    // log may be null; it receives one trace line per transfer.
    SimServer(Clock& clock, ServerOptions options, std::ostream* log);
    ~SimServer();
    SimServer(const SimServer&) = delete;
    SimServer& operator=(const SimServer&) = delete;

    // Binds and listens; an error text (with the system's reason) on failure.
    std::optional<std::string> open();
    // The port actually bound (the chosen one after --port 0).
    int port() const { return port_; }
    // The one simulated meter; for tests that check the wire while no
    // connection is served.
    Meter& meter() { return meter_; }

    // Serves until stopRequested() is true. pollMask is the signal mask
    // held while waiting (ppoll), so a blocked SIGINT/SIGTERM interrupts the
    // wait and is seen at once.
    void run(const std::function<bool()>& stopRequested, const sigset_t* pollMask);

  private:
    struct Connection;

    void acceptConnections();
    // Replies still owed to a connection that is gone are dropped.
    void dropConnection(std::size_t index);
    // false when the connection is to be closed.
    bool receiveFrom(Connection& connection);
    bool sendTo(Connection& connection);
    void collectReplies(Connection& connection);
    int pollTimeoutMs() const;
    void trace(char direction, std::string_view bytes);

    Clock& clock_;
    ServerOptions options_;
    std::ostream* log_;
    UniqueFd listener_;
    int port_ = 0;
    Meter meter_;
    std::vector<std::unique_ptr<Connection>> connections_;
};

}  // namespace tq::sim
