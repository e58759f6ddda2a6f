#pragma once

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <atomic>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "app/form1.h"
#include "common/clock.h"
#include "instrument/link_factory.h"
#include "panel/widget_app.h"
#include "scaled_clock.h"
#include "sim/sim_server.h"
#include "status/status_line.h"
#include "support/fake_boxes.h"

namespace tq::test {

// A loopback port nothing listens on: connecting to it is refused.
inline int freeLoopbackPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), length);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

inline std::string refusedSocketResource() {
    return "TCPIP0::127.0.0.1::" + std::to_string(freeLoopbackPort()) + "::SOCKET";
}

// A TQ4700 in a stand-in sysfs whose device node the user may not open:
// a read-only sysfs attribute refuses writing even to root.
struct UnopenableUsbMeter {
    UnopenableUsbMeter() {
        namespace fs = std::filesystem;
        const fs::path root(dir.path().toStdString());
        const fs::path device = root / "sys/devices/usb1/1-1";
        fs::create_directories(device / "1-1:1.0");
        std::ofstream(device / "idVendor") << "3a6d\n";
        std::ofstream(device / "idProduct") << "0e31\n";
        std::ofstream(device / "serial") << "TW00000042\n";
        fs::create_directories(root / "sys/class/usbmisc/usbtmc0");
        fs::create_symlink(device / "1-1:1.0", root / "sys/class/usbmisc/usbtmc0/device");
        fs::create_directories(root / "dev");
        fs::create_symlink(kNoRights, root / "dev/usbtmc0");
        options.searchSystemVisa = false;
        options.sysRoot = root / "sys";
        options.devRoot = root / "dev";
    }
    static bool refused() {
        const int fd = ::open(kNoRights, O_RDWR);
        if (fd >= 0) {
            ::close(fd);
        }
        return fd < 0 && errno == EACCES;
    }
    static constexpr const char* kNoRights = "/sys/kernel/uevent_seqnum";
    QTemporaryDir dir;
    visa::LinkOptions options;
};

// tq4700-sim's server on a loopback port (0: any free one), served from a
// thread of its own, that can be stopped and started again on the same port
// as a user restarts the program. It reads only the ticks of clock; the
// meter keeps its transcript for the wire checks.
class ServedMeter {
  public:
    ServedMeter(Clock& clock, int port, sim::Options meter = {})
        : clock_(clock), port_(port), meter_(std::move(meter)) {}
    ~ServedMeter() { stop(); }

    // The meter the next start() serves.
    void setMeter(sim::Options meter) { meter_ = std::move(meter); }
    // false when the port cannot be bound.
    bool start() {
        sim::ServerOptions options;
        options.port = port_;
        options.meter = meter_;
        server_ = std::make_unique<sim::SimServer>(clock_, options, nullptr);
        if (server_->open()) {
            server_.reset();
            return false;
        }
        port_ = server_->port();
        server_->meter().setTranscriptKept(true);
        stop_ = false;
        serving_ = std::thread([this] { server_->run([this] { return stop_.load(); }, nullptr); });
        return true;
    }
    // Ends the program: its sockets close.
    void stop() {
        stopServing();
        server_.reset();
    }
    // The server stops answering, its meter left to be read. A connection
    // wakes the server to see that it is to stop.
    void stopServing() {
        if (!serving_.joinable()) {
            return;
        }
        stop_ = true;
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<std::uint16_t>(port_));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
        serving_.join();
        ::close(fd);
    }
    std::string resource() const {
        return "TCPIP0::127.0.0.1::" + std::to_string(port_) + "::SOCKET";
    }
    const sim::Meter& meter() const { return server_->meter(); }

  private:
    Clock& clock_;
    int port_;
    sim::Options meter_;
    std::unique_ptr<sim::SimServer> server_;
    std::thread serving_;
    std::atomic<bool> stop_ = false;
};

// The window over tq4700-sim's socket on a faster wall clock that the
// server shares, so that its scans and the window's pauses keep their
// proportions. The server is not started.
struct SocketRig {
    SocketRig() {
        widgetApp();
        visa::LinkOptions options;
        options.searchSystemVisa = false;
        options.resource = meter.resource();
        link = visa::openLink(options);
        form = std::make_unique<Form1>(Form1Services{
            .clock = clock, .boxes = boxes, .visa = *link.visa, .options = {}, .endProgram = {}});
    }
    ~SocketRig() {
        form.reset();
        meter.stop();
    }
    StatusLine& line() { return form->statusLine(); }

    ScaledClock clock{10};
    FakeBoxes boxes;
    ServedMeter meter{clock, freeLoopbackPort()};
    visa::Link link;
    std::unique_ptr<Form1> form;
};

}  // namespace tq::test
