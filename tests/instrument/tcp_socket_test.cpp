#include "instrument/tcp_socket_transport.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "instrument/builtin_visa.h"

namespace tq::visa {
namespace {

// A server on the loopback interface that runs a script against each of
// its connections in turn (given their number from 0), then refuses any
// further one.
class LoopbackServer {
  public:
    explicit LoopbackServer(std::function<void(int fd, int n)> script, int connections = 1) {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), length);
        ::listen(listener_, 1);
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this, connections, script = std::move(script)] {
            for (int n = 0; n < connections; ++n) {
                const int client = ::accept(listener_, nullptr, nullptr);
                if (client < 0) {
                    return;
                }
                if (n + 1 == connections) {
                    ::shutdown(listener_, SHUT_RDWR);
                }
                script(client, n);
                ::close(client);
            }
        });
    }
    ~LoopbackServer() {
        ::shutdown(listener_, SHUT_RDWR);
        thread_.join();
        ::close(listener_);
    }
    std::string resource() const {
        return "TCPIP0::127.0.0.1::" + std::to_string(port_) + "::SOCKET";
    }

  private:
    int listener_ = -1;
    unsigned short port_ = 0;
    std::thread thread_;
};

std::string receiveLine(int fd) {
    std::string line;
    char c = 0;
    while (::recv(fd, &c, 1, 0) == 1) {
        line += c;
        if (c == '\n') {
            break;
        }
    }
    return line;
}

void sendText(int fd, const std::string& text) {
    ::send(fd, text.data(), text.size(), 0);
}

struct Client {
    BuiltinVisa visa{[] {
        std::vector<std::unique_ptr<TransportSource>> sources;
        sources.push_back(std::make_unique<TcpSocketSource>());
        return sources;
    }()};
    ViSession rm = 0;
    ViSession vi = 0;

    ViStatus open(const std::string& resource) {
        visa.openDefaultRM(rm);
        return visa.open(rm, resource, VI_NO_LOCK, 0, vi);
    }
    ViStatus read(std::size_t count, std::string& bytes) {
        std::string buffer(count, '\0');
        ViUInt32 received = 0;
        const ViStatus status = visa.read(vi, buffer, received);
        bytes = buffer.substr(0, received);
        return status;
    }
    ViStatus write(std::string_view bytes) {
        ViUInt32 sent = 0;
        return visa.write(vi, bytes, sent);
    }
};

TEST(TcpSocket, ReadsEndAtTheLineFeedOrTheCountWhateverTheSegments) {
    LoopbackServer server([](int fd, int) {
        EXPECT_EQ(receiveLine(fd), "*IDN?\n");
        sendText(fd, "VARANDEL,");
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        sendText(fd, "TQ4700\n1\n0123456789\n");
        receiveLine(fd);  // hold the connection until the client is done
    });
    Client client;
    ASSERT_EQ(client.open(server.resource()), VI_SUCCESS);
    ASSERT_EQ(client.write("*IDN?\n"), VI_SUCCESS);
    std::string bytes;
    EXPECT_EQ(client.read(200, bytes), VI_SUCCESS_TERM_CHAR);
    EXPECT_EQ(bytes, "VARANDEL,TQ4700\n");
    EXPECT_EQ(client.read(200, bytes), VI_SUCCESS_TERM_CHAR);
    EXPECT_EQ(bytes, "1\n");
    EXPECT_EQ(client.read(4, bytes), VI_SUCCESS_MAX_CNT);
    EXPECT_EQ(bytes, "0123");
    EXPECT_EQ(client.read(200, bytes), VI_SUCCESS_TERM_CHAR);
    EXPECT_EQ(bytes, "456789\n");
    client.write("done\n");
}

TEST(TcpSocket, ASilentPeerTimesOutWithWhatArrived) {
    LoopbackServer server(
        [](int fd, int n) {
            if (n == 0) {
                sendText(fd, "+1.0");
            }
            receiveLine(fd);
        },
        2);
    Client client;
    ASSERT_EQ(client.open(server.resource()), VI_SUCCESS);
    ASSERT_EQ(client.visa.setAttribute(client.vi, VI_ATTR_TMO_VALUE, 150), VI_SUCCESS);
    const auto start = std::chrono::steady_clock::now();
    std::string bytes;
    EXPECT_EQ(client.read(200, bytes), VI_ERROR_TMO);
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(bytes, "+1.0");
    EXPECT_GE(waited, std::chrono::milliseconds(140));
    EXPECT_LT(waited, std::chrono::milliseconds(1500));
    client.write("done\n");
}

// The late reply comes after the next query is sent: only a new connection
// keeps it from answering that query.
TEST(TcpSocket, AReplyThatComesAfterItsTimeOutNeverAnswersALaterQuery) {
    LoopbackServer server(
        [](int fd, int n) {
            if (n == 0) {
                receiveLine(fd);
                std::this_thread::sleep_for(std::chrono::milliseconds(250));
                sendText(fd, "VARANDEL,TQ4700\n");
                receiveLine(fd);  // until the client has gone
                return;
            }
            EXPECT_EQ(receiveLine(fd), "Rout:state?\n");
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            sendText(fd, "1\n");
            receiveLine(fd);
        },
        2);
    Client client;
    ASSERT_EQ(client.open(server.resource()), VI_SUCCESS);
    ASSERT_EQ(client.visa.setAttribute(client.vi, VI_ATTR_TMO_VALUE, 100), VI_SUCCESS);
    client.write("*IDN?\n");
    std::string bytes;
    EXPECT_EQ(client.read(200, bytes), VI_ERROR_TMO);
    ASSERT_EQ(client.write("Rout:state?\n"), VI_SUCCESS);
    client.visa.setAttribute(client.vi, VI_ATTR_TMO_VALUE, 2000);
    EXPECT_EQ(client.read(200, bytes), VI_SUCCESS_TERM_CHAR);
    EXPECT_EQ(bytes, "1\n");
    client.write("done\n");
}

TEST(TcpSocket, AMeterThatCannotBeReachedAgainAfterATimeOutIsLost) {
    LoopbackServer server([](int fd, int) { receiveLine(fd); });
    Client client;
    ASSERT_EQ(client.open(server.resource()), VI_SUCCESS);
    ASSERT_EQ(client.visa.setAttribute(client.vi, VI_ATTR_TMO_VALUE, 100), VI_SUCCESS);
    std::string bytes;
    EXPECT_EQ(client.read(200, bytes), VI_ERROR_CONN_LOST);
    EXPECT_EQ(client.write("*IDN?\n"), VI_ERROR_CONN_LOST);
    EXPECT_EQ(client.read(200, bytes), VI_ERROR_CONN_LOST);
}

TEST(TcpSocket, AVanishedPeerGivesConnectionLostNeverASignalOrAHang) {
    LoopbackServer server([](int fd, int) { sendText(fd, "partial"); });
    Client client;
    ASSERT_EQ(client.open(server.resource()), VI_SUCCESS);
    client.visa.setAttribute(client.vi, VI_ATTR_TMO_VALUE, VI_TMO_INFINITE);
    std::string bytes;
    EXPECT_EQ(client.read(200, bytes), VI_ERROR_CONN_LOST);
    EXPECT_EQ(bytes, "partial");
    // Writes into the closed connection: EPIPE, and no SIGPIPE kills us.
    for (int i = 0; i < 3; ++i) {
        client.write("*RST\n");
    }
    EXPECT_EQ(client.write("*RST\n"), VI_ERROR_CONN_LOST);
    EXPECT_EQ(client.read(200, bytes), VI_ERROR_CONN_LOST);
}

// The status alone says "connection lost"; the system's reason for it is
// kept, so a message can name it.
TEST(TcpSocket, AResetConnectionIsNamedAsTheSystemSawIt) {
    LoopbackServer server([](int fd, int) {
        receiveLine(fd);  // the connection is up on both sides
        const linger reset{.l_onoff = 1, .l_linger = 0};
        ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
    });
    Client client;
    ASSERT_EQ(client.open(server.resource()), VI_SUCCESS);
    client.visa.setAttribute(client.vi, VI_ATTR_TMO_VALUE, VI_TMO_INFINITE);
    ASSERT_EQ(client.write("*IDN?\n"), VI_SUCCESS);
    std::string bytes;
    ASSERT_EQ(client.read(200, bytes), VI_ERROR_CONN_LOST);
    std::string desc;
    client.visa.statusDesc(client.vi, VI_ERROR_CONN_LOST, desc);
    EXPECT_EQ(desc, "connection reset by peer");
    // A later failure of another kind does not borrow that reason.
    EXPECT_EQ(client.visa.setAttribute(client.vi, 0x3FFF0000u, 0), VI_ERROR_NSUP_ATTR);
    client.visa.statusDesc(client.vi, VI_ERROR_NSUP_ATTR, desc);
    EXPECT_EQ(desc, statusWords(VI_ERROR_NSUP_ATTR));
}

TEST(TcpSocket, NamesAndUnreachablePorts) {
    const auto parsed = parseSocketResource("tcpip3::meter.local::5025::socket");
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(parsed->host, "meter.local");
    EXPECT_EQ(parsed->port, "5025");
    const auto v6 = parseSocketResource("TCPIP0::[fe80::1%eth0]::5025::SOCKET");
    ASSERT_TRUE(v6.has_value());
    EXPECT_EQ(v6->host, "fe80::1%eth0");
    EXPECT_EQ(v6->port, "5025");
    for (const char* bad :
         {"TCPIP0::host::SOCKET", "TCPIP0::host::50x::SOCKET", "TCPIP0::host::5025::INSTR",
          "TCPIPX::host::5025::SOCKET", "TCPIP0::::5025::SOCKET", "TCPIP0::h::1::SOCKET::x",
          "TCPIP0::::1::5025::SOCKET", "TCPIP0::[::1::5025::SOCKET", "TCPIP0::[]::5025::SOCKET"}) {
        EXPECT_FALSE(parseSocketResource(bad).has_value()) << bad;
    }

    // A port nobody listens on: take one from a server that is gone.
    std::string resource;
    {
        LoopbackServer gone([](int, int) {});
        resource = gone.resource();
    }
    Client client;
    EXPECT_EQ(client.open(resource), VI_ERROR_RSRC_NFOUND);
    EXPECT_EQ(client.vi, VI_NULL);
}

}  // namespace
}  // namespace tq::visa
