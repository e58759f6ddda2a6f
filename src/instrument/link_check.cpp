#include "instrument/link_check.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <system_error>

#include "instrument/session.h"
#include "instrument/transport.h"

namespace tq::visa {
namespace {

// The IDs of a TQ4700, as its search pattern names them.
constexpr std::uint16_t kMeterVendor = 0x3A6D;
constexpr std::uint16_t kMeterProduct = 0x0E31;

int openError(const std::filesystem::path& node) {
    const int fd = ::open(node.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        return errno;
    }
    ::close(fd);
    return 0;
}

std::filesystem::path installedRule(const std::vector<std::filesystem::path>& folders) {
    for (const auto& folder : folders) {
        std::error_code error;
        const auto rule = folder / kUdevRuleName;
        if (std::filesystem::is_regular_file(rule, error)) {
            return rule;
        }
    }
    return {};
}

void search(VisaApi& visa, LinkCheck& check) {
    ViSession rm = VI_NULL;
    check.searchStatus = visa.openDefaultRM(rm);
    if (failed(check.searchStatus)) {
        return;
    }
    ViFindList list = VI_NULL;
    ViUInt32 count = 0;
    std::string name;
    check.searchStatus = visa.findRsrc(rm, kMeterPattern, list, count, name);
    for (ViUInt32 i = 0; i < count && !failed(check.searchStatus); ++i) {
        if (i > 0 && failed(visa.findNext(list, name))) {
            break;
        }
        LinkCheck::Found found{.resource = name, .openStatus = VI_SUCCESS, .reason = {}};
        ViSession vi = VI_NULL;
        found.openStatus = visa.open(rm, name, VI_NO_LOCK, 0, vi);
        if (failed(found.openStatus)) {
            visa.statusDesc(rm, found.openStatus, found.reason);
        } else {
            visa.close(vi);
        }
        check.found.push_back(std::move(found));
    }
    visa.close(rm);
}

std::string nodeLine(const LinkCheck::UsbNode& n) {
    std::string line = "  " + n.device.node + ": " + usbResourceName(n.device.address) +
                       (n.isMeter ? "" : " (not a TQ4700)") + ", " + n.node.string() + " ";
    if (n.openError == 0) {
        return line + "opens";
    }
    line += "cannot be opened: " + systemWords(n.openError);
    if (n.isMeter && (n.openError == EACCES || n.openError == EPERM)) {
        line += " (this user lacks the rights the udev rule gives)";
    }
    return line;
}

}  // namespace

std::vector<std::filesystem::path> udevRuleFolders() {
    return {"/etc/udev/rules.d", "/run/udev/rules.d", "/usr/lib/udev/rules.d", "/lib/udev/rules.d",
            "/usr/local/lib/udev/rules.d"};
}

bool LinkCheck::meterOpens() const {
    return std::ranges::any_of(found, [](const Found& f) { return !failed(f.openStatus); });
}

LinkCheck checkLink(const LinkOptions& options,
                    const std::vector<std::filesystem::path>& ruleFolders) {
    LinkCheck check;
    Link link = openLink(options);
    check.provider = link.description;
    check.systemVisa = link.description.starts_with("system VISA");
    check.problems = link.problems;
    for (UsbtmcDevice& device : findUsbtmcDevices(options.sysRoot)) {
        LinkCheck::UsbNode node;
        node.isMeter =
            device.address.vendor == kMeterVendor && device.address.product == kMeterProduct;
        node.node = options.devRoot / device.node;
        node.openError = openError(node.node);
        node.device = std::move(device);
        check.usb.push_back(std::move(node));
    }
    check.udevRule = installedRule(ruleFolders);
    search(*link.visa, check);
    return check;
}

std::string LinkCheck::report() const {
    std::string text = "VISA library: ";
    if (systemVisa) {
        text += provider.substr(std::string("system VISA ").size());
    } else if (provider.starts_with("no VISA")) {
        text += "cannot be loaded";
    } else {
        text += "none found; the built-in USB-TMC and socket support is used";
        if (provider != "built-in") {
            text += " (" + provider + ")";
        }
    }
    text += '\n';
    for (const std::string& problem : problems) {
        text += "  " + problem + '\n';
    }
    text += usb.empty() ? "USB-TMC devices: none (is the meter plugged in and switched on?)\n"
                        : "USB-TMC devices:\n";
    for (const UsbNode& n : usb) {
        text += nodeLine(n) + '\n';
    }
    if (!udevRule.empty()) {
        text += "udev rule: " + udevRule.string() + '\n';
    } else {
        text += "udev rule: " + std::string(kUdevRuleName) +
                " is not installed; install it with: " + std::string(kUdevInstallCommand) +
                ", then re-plug the meter\n";
    }
    if (failed(searchStatus) && found.empty()) {
        text += "Meter: none found matching " + std::string(kMeterPattern) + " (" +
                statusName(searchStatus) + ")\n";
    }
    for (const Found& f : found) {
        text += "Meter: " + f.resource + " " +
                (failed(f.openStatus)
                     ? "cannot be opened: " + f.reason + " (" + statusName(f.openStatus) + ")"
                     : std::string("opens")) +
                '\n';
    }
    return text;
}

}  // namespace tq::visa
