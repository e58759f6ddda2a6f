#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "sim/server_options.h"

namespace tq::sim {
namespace {

std::variant<ServerOptions, OptionsError> parse(std::vector<std::string_view> args) {
    return parseServerOptions(args);
}

TEST(ServerOptionsTest, ReadsEveryOption) {
    const auto defaults = std::get<ServerOptions>(parse({}));
    EXPECT_EQ(defaults.listenAddress, "127.0.0.1");
    EXPECT_EQ(defaults.port, 5025);
    EXPECT_TRUE(defaults.meter.card);

    const auto parsed = parse(
        {"--listen", "::1",       "--port=0",  "--no-card",     "--identity", "A,B,C,D",
         "--seed",   "42",        "--drop",    "0.1",           "--slow=0.2", "--slow-ms",
         "900",      "--garbage", "0.3",       "--short-fetch", "1",          "--disconnect-after",
         "5",        "--log",     "/tmp/x.log"});
    ASSERT_TRUE(std::holds_alternative<ServerOptions>(parsed));
    const auto& options = std::get<ServerOptions>(parsed);
    EXPECT_EQ(options.listenAddress, "::1");
    EXPECT_EQ(options.port, 0);
    EXPECT_FALSE(options.meter.card);
    EXPECT_EQ(options.meter.identity, "A,B,C,D");
    EXPECT_EQ(options.meter.seed, 42u);
    EXPECT_EQ(options.meter.faults.dropReply, 0.1);
    EXPECT_EQ(options.meter.faults.slowReply, 0.2);
    EXPECT_EQ(options.meter.faults.slowReplyMs, 900);
    EXPECT_EQ(options.meter.faults.garbage, 0.3);
    EXPECT_EQ(options.meter.faults.shortFetch, 1);
    EXPECT_EQ(options.meter.faults.disconnectAfterLines, 5);
    EXPECT_EQ(options.logFile, "/tmp/x.log");

    for (const auto& bad : std::vector<std::vector<std::string_view>>{{"--bogus"},
                                                                      {"--port"},
                                                                      {"--port", "70000"},
                                                                      {"--port", "12x"},
                                                                      {"--drop", "1.5"},
                                                                      {"--seed", "-1"},
                                                                      {"--no-card=1"},
                                                                      {"--disconnect-after", "-2"},
                                                                      {"stray"}}) {
        EXPECT_TRUE(std::holds_alternative<OptionsError>(parse(bad))) << bad[0];
    }
}

TEST(ServerOptionsTest, HelpNamesEveryOption) {
    const std::string usage = usageText();
    for (const char* name : {"--listen", "--port", "--no-card", "--identity", "--seed", "--drop",
                             "--slow", "--slow-ms", "--garbage", "--short-fetch",
                             "--disconnect-after", "--log", "--help", "--version"}) {
        EXPECT_NE(usage.find(std::string(name) + " "), std::string::npos) << name;
    }
}

// The built server as a child process on a free loopback port.
class ServerProcess {
  public:
    explicit ServerProcess(std::vector<std::string> extra) {
        int out[2];
        if (pipe(out) != 0) {
            return;
        }
        std::vector<std::string> args{TQ_SIM_BINARY, "--port", "0"};
        args.insert(args.end(), extra.begin(), extra.end());
        pid_ = fork();
        if (pid_ == 0) {
            dup2(out[1], STDOUT_FILENO);
            close(out[0]);
            std::vector<char*> argv;
            for (auto& arg : args) {
                argv.push_back(arg.data());
            }
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
        close(out[1]);
        output_ = fdopen(out[0], "r");
        char line[256] = {};
        if (output_ != nullptr && fgets(line, sizeof line, output_) != nullptr) {
            const std::string text(line);
            port_ = std::stoi(text.substr(text.rfind(':') + 1));
        }
    }
    ~ServerProcess() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (output_ != nullptr) {
            fclose(output_);
        }
    }
    int port() const { return port_; }

    // SIGTERM, then the exit status and what the server printed after its
    // first line.
    std::pair<int, std::string> stop() {
        kill(pid_, SIGTERM);
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
        std::string rest;
        char line[256];
        while (fgets(line, sizeof line, output_) != nullptr) {
            rest += line;
        }
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, rest};
    }

  private:
    pid_t pid_ = -1;
    FILE* output_ = nullptr;
    int port_ = 0;
};

int connectTo(int port) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

// Bytes until a line feed, the peer's close or 5 s of silence.
std::string readLine(int fd) {
    std::string text;
    char c = 0;
    pollfd p{.fd = fd, .events = POLLIN, .revents = 0};
    while (poll(&p, 1, 5000) > 0 && recv(fd, &c, 1, 0) == 1) {
        text += c;
        if (c == '\n') {
            break;
        }
    }
    return text;
}

void sendText(int fd, const std::string& text) {
    ASSERT_EQ(send(fd, text.data(), text.size(), MSG_NOSIGNAL), static_cast<ssize_t>(text.size()));
}

TEST(SimServerTest, AnswersOnLoopbackAndStopsOnSigterm) {
    const std::string logPath = std::string(TQ_BINARY_DIR) + "/sim_server_test.log";
    ServerProcess server({"--log", logPath});
    ASSERT_GT(server.port(), 0);
    const int fd = connectTo(server.port());
    ASSERT_GE(fd, 0);
    sendText(fd, "*IDN?\n");
    EXPECT_EQ(readLine(fd), "VARANDEL,TQ4700,TW00000001,2.01\n");
    // Split across writes, and two messages in one write.
    sendText(fd, "Rout:st");
    sendText(fd, "ate?\nROUT:SCAN:STATE?\n");
    EXPECT_EQ(readLine(fd), "1\n");
    EXPECT_EQ(readLine(fd), "0\n");
    // A last message without line feed counts when the host closes its side.
    sendText(fd, "*IDN?");
    shutdown(fd, SHUT_WR);
    EXPECT_EQ(readLine(fd), "VARANDEL,TQ4700,TW00000001,2.01\n");
    EXPECT_EQ(readLine(fd), "");  // then the server closes
    close(fd);

    const auto [status, output] = server.stop();
    EXPECT_EQ(status, 0);
    EXPECT_NE(output.find("stopped"), std::string::npos);
    std::ifstream log(logPath);
    std::stringstream contents;
    contents << log.rdbuf();
    EXPECT_NE(contents.str().find(" > *IDN?\\n\n"), std::string::npos);
    EXPECT_NE(contents.str().find(" < VARANDEL,TQ4700,TW00000001,2.01\\n\n"), std::string::npos);
}

// A host that reconnects after a time-out finds its settings, and not the
// reply still owed to the old connection.
TEST(SimServerTest, OneMeterServesTheNewestConnection) {
    ServerProcess server({"--slow", "1", "--slow-ms", "300"});
    ASSERT_GT(server.port(), 0);
    const int first = connectTo(server.port());
    ASSERT_GE(first, 0);
    sendText(first, "Route:scan:count 3\nROUT:SCAN:COUNT?\n");
    EXPECT_EQ(readLine(first), "3\n");
    sendText(first, "*IDN?\n");
    const int second = connectTo(server.port());
    ASSERT_GE(second, 0);
    EXPECT_EQ(readLine(first), "");  // taken over: closed without its reply
    sendText(second, "ROUT:SCAN:COUNT?\n");
    EXPECT_EQ(readLine(second), "3\n");
    close(first);
    close(second);
}

TEST(SimServerTest, AVanishedMeterClosesEveryConnection) {
    ServerProcess server({"--no-card", "--disconnect-after", "2"});
    ASSERT_GT(server.port(), 0);
    const int first = connectTo(server.port());
    ASSERT_GE(first, 0);
    sendText(first, "Rout:state?\n");
    EXPECT_EQ(readLine(first), "0\n");
    sendText(first, "*IDN?\n");
    EXPECT_EQ(readLine(first), "");
    const int second = connectTo(server.port());
    ASSERT_GE(second, 0);
    EXPECT_EQ(readLine(second), "");
    close(first);
    close(second);
}

TEST(SimServerTest, RefusesABadListenAddress) {
    ServerProcess server({"--listen", "not-an-address"});
    EXPECT_EQ(server.port(), 0);
    EXPECT_NE(server.stop().first, 0);
}

}  // namespace
}  // namespace tq::sim
