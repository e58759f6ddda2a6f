#pragma once

#include <filesystem>
#include <memory>
#include <vector>

#include "common/unique_fd.h"
#include "instrument/transport.h"

namespace tq::visa {

// The kernel usbtmc driver's node: one write() is one message, one read()
// one reply, the time-out kept by the driver.
class UsbtmcTransport : public Transport {
  public:
    // reason: the system's words when the node does not open.
    static ViStatus open(const std::filesystem::path& node, std::unique_ptr<Transport>& transport,
                         std::string& reason);

    ViStatus write(std::string_view bytes, ViUInt32& retCount) override;
    ViStatus read(std::span<char> buffer, ViUInt32& retCount) override;
    ViStatus setTimeout(ViUInt32 ms) override;

  private:
    explicit UsbtmcTransport(UniqueFd fd);
    ViStatus fail(int error);
    // A lost link keeps the error that lost it.
    void forgetError() {
        if (!lost_) {
            error_ = 0;
        }
    }
    int systemError() const override { return error_; }
    // For a stand-in node: VI_ERROR_TMO when the time-out passes first.
    ViStatus waitFor(short events);

    UniqueFd fd_;
    // A node that refuses the usbtmc ioctls (ENOTTY) is a stand-in (a pty in
    // the tests); its reads and writes would block for ever, so poll() keeps
    // the time-out instead of the driver.
    bool standIn_ = false;
    bool lost_ = false;
    ViUInt32 timeoutMs_ = kDefaultTimeoutMs;
    // A reply must fit one read(): a smaller buffer than the device's
    // transfer makes the driver return nothing.
    std::vector<char> buffer_ = std::vector<char>(64 * 1024);
    MessageRemainder remainder_;
    int error_ = 0;
};

// errno of a usbtmc call as a VISA status.
ViStatus usbtmcStatus(int error);

// The usbtmc devices found through sysfs, opened under devRoot.
class UsbtmcSource : public TransportSource {
  public:
    UsbtmcSource(std::filesystem::path sysRoot, std::filesystem::path devRoot);

    std::vector<std::string> list() override;
    bool recognises(std::string_view name) const override;
    ViStatus open(std::string_view name, std::unique_ptr<Transport>& transport) override;
    std::string openFailure() const override { return failure_; }

  private:
    std::filesystem::path sysRoot_;
    std::filesystem::path devRoot_;
    std::string failure_;
};

}  // namespace tq::visa
