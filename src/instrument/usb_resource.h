#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tq::visa {

// The udev rule that lets the user at the seat open a TQ4700's usbtmc node,
// and the one command that installs it from the source tree (the Debian
// package installs it by itself).
inline constexpr std::string_view kUdevRuleName = "60-tq4700.rules";
inline constexpr std::string_view kUdevInstallCommand =
    "sudo cp packaging/60-tq4700.rules /etc/udev/rules.d/ && sudo udevadm control --reload && "
    "sudo udevadm trigger";

// The parts of "USB[board]::0xVID::0xPID::serial[::interface]::INSTR".
struct UsbAddress {
    std::uint16_t vendor = 0;
    std::uint16_t product = 0;
    std::string serial;
};

// IDs as 0x%04X: the product's search pattern spells them in uppercase hex,
// so a decimal or lowercase form would not be found.
std::string usbResourceName(const UsbAddress& address);

// IDs in hex with "0x" or in decimal, as VISA accepts them; nullopt when the
// name is not a USB INSTR resource.
std::optional<UsbAddress> parseUsbResource(std::string_view name);

// A node the kernel's usbtmc driver made, with the identity of its device.
struct UsbtmcDevice {
    std::string node;  // "usbtmc0": the name under /dev
    UsbAddress address;
};

// The usbtmc nodes under sysRoot/class/usbmisc, in node-number order. A
// device without a serial number gets its node name as serial, so that it
// still has a resource name of its own.
std::vector<UsbtmcDevice> findUsbtmcDevices(const std::filesystem::path& sysRoot);

}  // namespace tq::visa
