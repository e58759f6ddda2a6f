#include "instrument/usb_resource.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <system_error>

#include "instrument/transport.h"

namespace tq::visa {
namespace {

std::vector<std::string_view> splitFields(std::string_view name) {
    std::vector<std::string_view> fields;
    while (true) {
        const auto end = name.find("::");
        fields.push_back(name.substr(0, end));
        if (end == std::string_view::npos) {
            return fields;
        }
        name.remove_prefix(end + 2);
    }
}

std::optional<std::uint16_t> parseId(std::string_view text, int defaultBase) {
    int base = defaultBase;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
        value > 0xFFFF) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(value);
}

bool isBoardPrefix(std::string_view field) {
    if (field.size() < 3 || !sameResourceName(field.substr(0, 3), "USB")) {
        return false;
    }
    return std::ranges::all_of(field.substr(3), [](char c) { return c >= '0' && c <= '9'; });
}

// First line of a sysfs attribute, without the line feed.
std::optional<std::string> readAttribute(const std::filesystem::path& path) {
    std::ifstream file(path);
    std::string line;
    if (!file || !std::getline(file, line)) {
        return std::nullopt;
    }
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r' || line.back() == ' ')) {
        line.pop_back();
    }
    return line;
}

std::optional<unsigned> nodeNumber(std::string_view node) {
    constexpr std::string_view prefix = "usbtmc";
    if (!node.starts_with(prefix) || node.size() == prefix.size()) {
        return std::nullopt;
    }
    node.remove_prefix(prefix.size());
    unsigned value = 0;
    const auto [end, error] = std::from_chars(node.data(), node.data() + node.size(), value);
    if (error != std::errc() || end != node.data() + node.size()) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::string usbResourceName(const UsbAddress& address) {
    std::array<char, 32> ids{};
    std::snprintf(ids.data(), ids.size(), "0x%04X::0x%04X", unsigned{address.vendor},
                  unsigned{address.product});
    return "USB0::" + std::string(ids.data()) + "::" + address.serial + "::INSTR";
}

std::optional<UsbAddress> parseUsbResource(std::string_view name) {
    const auto fields = splitFields(name);
    if (fields.size() < 5 || fields.size() > 6 || !isBoardPrefix(fields[0]) ||
        !sameResourceName(fields.back(), "INSTR") || fields[3].empty()) {
        return std::nullopt;
    }
    const auto vendor = parseId(fields[1], 10);
    const auto product = parseId(fields[2], 10);
    if (!vendor || !product) {
        return std::nullopt;
    }
    return UsbAddress{.vendor = *vendor, .product = *product, .serial = std::string(fields[3])};
}

std::vector<UsbtmcDevice> findUsbtmcDevices(const std::filesystem::path& sysRoot) {
    std::vector<std::pair<unsigned, UsbtmcDevice>> found;
    std::error_code error;
    for (const auto& entry :
         std::filesystem::directory_iterator(sysRoot / "class" / "usbmisc", error)) {
        const std::string node = entry.path().filename().string();
        const auto number = nodeNumber(node);
        if (!number) {
            continue;
        }
        // "device" is the interface directory; the USB device holding the
        // identity is its parent (the kernel resolves ".." after the link).
        const auto usbDevice = entry.path() / "device" / "..";
        const auto vendorText = readAttribute(usbDevice / "idVendor");
        const auto productText = readAttribute(usbDevice / "idProduct");
        if (!vendorText || !productText) {
            continue;
        }
        const auto vendor = parseId(*vendorText, 16);
        const auto product = parseId(*productText, 16);
        if (!vendor || !product) {
            continue;
        }
        const auto serial = readAttribute(usbDevice / "serial");
        found.emplace_back(
            *number,
            UsbtmcDevice{.node = node,
                         .address = {.vendor = *vendor,
                                     .product = *product,
                                     .serial = serial && !serial->empty() ? *serial : node}});
    }
    std::ranges::sort(found, {}, &std::pair<unsigned, UsbtmcDevice>::first);
    std::vector<UsbtmcDevice> devices;
    for (auto& [number, device] : found) {
        devices.push_back(std::move(device));
    }
    return devices;
}

}  // namespace tq::visa
