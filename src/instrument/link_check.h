#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "instrument/link_factory.h"
#include "instrument/usb_resource.h"
#include "instrument/visa_types.h"

namespace tq::visa {

// Where udev reads rules from, the administrator's folders first.
std::vector<std::filesystem::path> udevRuleFolders();

// What stands between the program and the meter, found without sending the
// meter a line: which VISA provider the program would use, the USB-TMC
// devices the kernel made nodes for and whether this user may open them,
// whether the udev rule is installed, and whether a meter the program
// searches for opens.
struct LinkCheck {
    struct UsbNode {
        UsbtmcDevice device;
        bool isMeter = false;  // a TQ4700 by its vendor and product IDs
        std::filesystem::path node;
        int openError = 0;  // errno of opening it for reading and writing; 0 when it opened
    };
    struct Found {
        std::string resource;
        ViStatus openStatus = VI_SUCCESS;
        std::string reason;  // the provider's words for a failed open
    };

    std::string provider;                // "system VISA libvisa.so.0", "built-in"
    bool systemVisa = false;             // a VISA library was loaded
    std::vector<std::string> problems;   // what went wrong on the way to a provider
    std::vector<UsbNode> usb;            // every usbtmc node, meter or not
    std::filesystem::path udevRule;      // empty when no folder holds the rule
    ViStatus searchStatus = VI_SUCCESS;  // of the resource manager's open or the search
    std::vector<Found> found;            // what the program's search finds, each tried

    // A meter the program would use opens.
    bool meterOpens() const;
    // The diagnosis as lines for a terminal.
    std::string report() const;
};

LinkCheck checkLink(const LinkOptions& options,
                    const std::vector<std::filesystem::path>& ruleFolders = udevRuleFolders());

}  // namespace tq::visa
