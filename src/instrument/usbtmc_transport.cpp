#include "instrument/usbtmc_transport.h"

#include <fcntl.h>
#include <linux/usb/tmc.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>

#include "instrument/usb_resource.h"

namespace tq::visa {
namespace {

// The driver refuses time-outs below 100 ms.
constexpr ViUInt32 kMinimumDriverTimeoutMs = 100;

int pollTimeout(ViUInt32 ms) {
    return ms == VI_TMO_INFINITE ? -1 : static_cast<int>(std::min<ViUInt32>(ms, INT_MAX));
}

}  // namespace

ViStatus usbtmcStatus(int error) {
    switch (error) {
        case ETIMEDOUT:
            return VI_ERROR_TMO;
        case ENODEV:  // unplugged
        case ESHUTDOWN:
            return VI_ERROR_CONN_LOST;
        case ENOENT:
        case ENXIO:
            return VI_ERROR_RSRC_NFOUND;
        case EACCES:
        case EPERM:
            return VI_ERROR_NPERMISSION;
        case EBUSY:
            return VI_ERROR_RSRC_BUSY;
        case EIO:
        case EPIPE:
        case EPROTO:
        case EOVERFLOW:
            return VI_ERROR_IO;
        default:
            return VI_ERROR_SYSTEM_ERROR;
    }
}

UsbtmcTransport::UsbtmcTransport(UniqueFd fd) : fd_(std::move(fd)) {}

ViStatus UsbtmcTransport::open(const std::filesystem::path& node,
                               std::unique_ptr<Transport>& transport, std::string& reason) {
    UniqueFd fd(::open(node.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY));
    if (!fd.valid()) {
        const int error = errno;
        reason = systemWords(error) + " on " + node.string();
        return usbtmcStatus(error);
    }
    std::unique_ptr<UsbtmcTransport> opened(new UsbtmcTransport(std::move(fd)));
    // The driver starts every open file at 5000 ms; VISA's default is 2000.
    // A driver that refuses leaves its own, which is no reason not to open;
    // the caller's setAttribute reports it.
    opened->setTimeout(kDefaultTimeoutMs);
    transport = std::move(opened);
    return VI_SUCCESS;
}

ViStatus UsbtmcTransport::fail(int error) {
    error_ = error;
    const ViStatus status = usbtmcStatus(error);
    if (status == VI_ERROR_CONN_LOST) {
        lost_ = true;
    }
    return status;
}

ViStatus UsbtmcTransport::waitFor(short events) {
    if (!standIn_) {
        return VI_SUCCESS;
    }
    pollfd entry{.fd = fd_.get(), .events = events, .revents = 0};
    int ready = 0;
    do {
        ready = ::poll(&entry, 1, pollTimeout(timeoutMs_));
    } while (ready < 0 && errno == EINTR);
    if (ready < 0) {
        return fail(errno);
    }
    if (ready == 0) {
        return VI_ERROR_TMO;
    }
    // The far end of the stand-in closed (a pty reports POLLHUP, then EIO).
    if ((entry.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
        lost_ = true;
        return VI_ERROR_CONN_LOST;
    }
    return VI_SUCCESS;
}

ViStatus UsbtmcTransport::write(std::string_view bytes, ViUInt32& retCount) {
    retCount = 0;
    forgetError();
    if (lost_) {
        return VI_ERROR_CONN_LOST;
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ViStatus ready = waitFor(POLLOUT);
        if (failed(ready)) {
            return ready;
        }
        const ssize_t n = ::write(fd_.get(), bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return fail(errno);
        }
        done += static_cast<std::size_t>(n);
        retCount = static_cast<ViUInt32>(done);
    }
    return VI_SUCCESS;
}

ViStatus UsbtmcTransport::read(std::span<char> buffer, ViUInt32& retCount) {
    retCount = 0;
    forgetError();
    if (!remainder_.empty()) {
        return remainder_.take(buffer, retCount);
    }
    if (lost_) {
        return VI_ERROR_CONN_LOST;
    }
    const ViStatus ready = waitFor(POLLIN);
    if (failed(ready)) {
        return ready;
    }
    ssize_t n = 0;
    do {
        n = ::read(fd_.get(), buffer_.data(), buffer_.size());
    } while (n < 0 && errno == EINTR);
    if (n < 0) {
        const int error = errno;
        if (error == ETIMEDOUT && !standIn_) {
            // A reply that arrives after the time-out would otherwise be
            // taken for the answer to the next query.
            ::ioctl(fd_.get(), USBTMC_IOCTL_CLEAR);
        }
        return fail(error);
    }
    if (n == 0) {
        return VI_ERROR_IO;
    }
    remainder_.assign(std::string_view(buffer_.data(), static_cast<std::size_t>(n)));
    return remainder_.take(buffer, retCount);
}

ViStatus UsbtmcTransport::setTimeout(ViUInt32 ms) {
    forgetError();
    timeoutMs_ = ms;
    if (standIn_) {
        return VI_SUCCESS;
    }
    std::uint32_t driverMs = std::max(ms, kMinimumDriverTimeoutMs);
    if (::ioctl(fd_.get(), USBTMC_IOCTL_SET_TIMEOUT, &driverMs) != 0) {
        if (errno == ENOTTY) {
            standIn_ = true;
            return VI_SUCCESS;
        }
        return fail(errno);
    }
    return VI_SUCCESS;
}

UsbtmcSource::UsbtmcSource(std::filesystem::path sysRoot, std::filesystem::path devRoot)
    : sysRoot_(std::move(sysRoot)), devRoot_(std::move(devRoot)) {}

std::vector<std::string> UsbtmcSource::list() {
    std::vector<std::string> names;
    for (const auto& device : findUsbtmcDevices(sysRoot_)) {
        names.push_back(usbResourceName(device.address));
    }
    return names;
}

bool UsbtmcSource::recognises(std::string_view name) const {
    return parseUsbResource(name).has_value();
}

ViStatus UsbtmcSource::open(std::string_view name, std::unique_ptr<Transport>& transport) {
    failure_.clear();
    const auto wanted = parseUsbResource(name);
    if (!wanted) {
        return VI_ERROR_INV_RSRC_NAME;
    }
    for (const auto& device : findUsbtmcDevices(sysRoot_)) {
        if (device.address.vendor == wanted->vendor && device.address.product == wanted->product &&
            sameResourceName(device.address.serial, wanted->serial)) {
            return UsbtmcTransport::open(devRoot_ / device.node, transport, failure_);
        }
    }
    failure_ = "no such usbtmc device";
    return VI_ERROR_RSRC_NFOUND;
}

}  // namespace tq::visa
