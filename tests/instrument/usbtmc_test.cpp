#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>

#include "instrument/builtin_visa.h"
#include "instrument/link_check.h"
#include "instrument/session.h"
#include "instrument/usb_resource.h"
#include "instrument/usbtmc_transport.h"

namespace tq::visa {
namespace {

namespace fs = std::filesystem;

void writeFile(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path) << text;
}

// A sysfs tree as the kernel lays it out: the class entry's "device" link
// points at the interface, whose parent is the USB device with the IDs.
// Its nodes under dev/ are links to a pty, which stands in for the meter.
class UsbtmcTree : public ::testing::Test {
  protected:
    void SetUp() override {
        root_ = fs::path(TQ_BINARY_DIR) / ("usbtmc_tree_" + std::to_string(::getpid()));
        fs::remove_all(root_);
        addDevice(0, "3a6d", "0e31", "TW00000042");
        addDevice(10, "3a6d", "0e31", "");
        addDevice(2, "0957", "1755", "MY123");
        fs::create_directories(root_ / "sys/class/usbmisc/usbtmcX");
        fs::create_directories(root_ / "dev");

        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        ASSERT_GE(master_, 0);
        ASSERT_EQ(::grantpt(master_), 0);
        ASSERT_EQ(::unlockpt(master_), 0);
        const std::string slave = ::ptsname(master_);
        // Raw, so bytes pass as they are; held open so the line stays up.
        slave_ = ::open(slave.c_str(), O_RDWR | O_NOCTTY);
        ASSERT_GE(slave_, 0);
        termios raw{};
        ::tcgetattr(slave_, &raw);
        ::cfmakeraw(&raw);
        ::tcsetattr(slave_, TCSANOW, &raw);
        fs::create_symlink(slave, root_ / "dev/usbtmc0");
    }
    void TearDown() override {
        if (master_ >= 0) {
            ::close(master_);
        }
        ::close(slave_);
        fs::remove_all(root_);
    }

    void addDevice(int node, const std::string& vendor, const std::string& product,
                   const std::string& serial) {
        const fs::path usbDevice = root_ / "sys/devices/usb1" / ("1-" + std::to_string(node));
        writeFile(usbDevice / "idVendor", vendor + "\n");
        writeFile(usbDevice / "idProduct", product + "\n");
        if (!serial.empty()) {
            writeFile(usbDevice / "serial", serial + "\n");
        }
        const fs::path interface = usbDevice / ("1-" + std::to_string(node) + ":1.0");
        fs::create_directories(interface);
        const fs::path entry = root_ / "sys/class/usbmisc" / ("usbtmc" + std::to_string(node));
        fs::create_directories(entry);
        fs::create_symlink(interface, entry / "device");
    }

    BuiltinVisa provider() {
        std::vector<std::unique_ptr<TransportSource>> sources;
        sources.push_back(std::make_unique<UsbtmcSource>(root_ / "sys", root_ / "dev"));
        return BuiltinVisa(std::move(sources));
    }

    std::string fromMeter() {
        pollfd entry{.fd = master_, .events = POLLIN, .revents = 0};
        std::string bytes(256, '\0');
        if (::poll(&entry, 1, 1000) != 1) {
            return {};
        }
        const ssize_t n = ::read(master_, bytes.data(), bytes.size());
        return bytes.substr(0, n > 0 ? static_cast<std::size_t>(n) : 0);
    }
    void toHost(const std::string& bytes) {
        ASSERT_EQ(::write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }

    fs::path root_;
    int master_ = -1;
    int slave_ = -1;
};

TEST_F(UsbtmcTree, DevicesAreNamedFromSysfsInNodeOrder) {
    const auto devices = findUsbtmcDevices(root_ / "sys");
    ASSERT_EQ(devices.size(), 3u);
    EXPECT_EQ(devices[0].node, "usbtmc0");
    EXPECT_EQ(usbResourceName(devices[0].address), "USB0::0x3A6D::0x0E31::TW00000042::INSTR");
    EXPECT_EQ(usbResourceName(devices[1].address), "USB0::0x0957::0x1755::MY123::INSTR");
    EXPECT_EQ(usbResourceName(devices[2].address), "USB0::0x3A6D::0x0E31::usbtmc10::INSTR");

    BuiltinVisa visa = provider();
    ViSession rm = 0;
    ViFindList list = 0;
    ViUInt32 count = 0;
    std::string desc;
    visa.openDefaultRM(rm);
    ASSERT_EQ(visa.findRsrc(rm, kMeterPattern, list, count, desc), VI_SUCCESS);
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(desc, "USB0::0x3A6D::0x0E31::TW00000042::INSTR");
    EXPECT_EQ(visa.findNext(list, desc), VI_SUCCESS);
    EXPECT_EQ(desc, "USB0::0x3A6D::0x0E31::usbtmc10::INSTR");
    EXPECT_EQ(visa.findNext(list, desc), VI_ERROR_RSRC_NFOUND);

    // Listed in sysfs, but its node is missing.
    ViSession vi = 0;
    EXPECT_EQ(visa.open(rm, desc, VI_NO_LOCK, 0, vi), VI_ERROR_RSRC_NFOUND);
    EXPECT_EQ(findUsbtmcDevices(root_ / "nowhere").size(), 0u);
}

TEST_F(UsbtmcTree, AStandInNodeCarriesMessagesAndKeepsTheTimeOut) {
    BuiltinVisa visa = provider();
    InstrumentSession session(visa);
    session.openResourceManager();
    session.findMeters();
    session.openMeter();
    ASSERT_EQ(session.VisaStatus, VI_SUCCESS);  // ENOTTY from the pty is no failure
    session.setIoTimeout();
    EXPECT_EQ(session.VisaStatus, VI_SUCCESS);

    session.writeLine("*IDN?");
    EXPECT_EQ(fromMeter(), "*IDN?\n");
    toHost("VARANDEL,TQ4700,TW00000042,2.01\n");
    std::array<char, 8> piece{};
    ViUInt32 count = 0;
    EXPECT_EQ(visa.read(session.InstrSession, piece, count), VI_SUCCESS_MAX_CNT);
    EXPECT_EQ(std::string(piece.data(), count), "VARANDEL");
    session.readReply();
    EXPECT_EQ(session.VisaStatus, VI_SUCCESS);
    EXPECT_EQ(session.ReadCount, 24);
    EXPECT_TRUE(session.replyStartsWith(",TQ4700,TW00000042,2.01\n"));

    ASSERT_EQ(visa.setAttribute(session.InstrSession, VI_ATTR_TMO_VALUE, 100), VI_SUCCESS);
    session.readReply();
    EXPECT_EQ(session.VisaStatus, VI_ERROR_TMO);

    // The meter goes away: every later call fails, none hangs.
    ::close(master_);
    master_ = -1;
    session.readReply();
    EXPECT_EQ(session.VisaStatus, VI_ERROR_CONN_LOST);
    session.writeLine("*RST");
    EXPECT_EQ(session.VisaStatus, VI_ERROR_CONN_LOST);
}

TEST(UsbtmcStatus, DriverErrorsAsVisaStatuses) {
    EXPECT_EQ(usbtmcStatus(ETIMEDOUT), VI_ERROR_TMO);
    EXPECT_EQ(usbtmcStatus(ENODEV), VI_ERROR_CONN_LOST);
    EXPECT_EQ(usbtmcStatus(EACCES), VI_ERROR_NPERMISSION);
    EXPECT_EQ(usbtmcStatus(EBUSY), VI_ERROR_RSRC_BUSY);
    EXPECT_EQ(usbtmcStatus(ENOENT), VI_ERROR_RSRC_NFOUND);
    EXPECT_EQ(usbtmcStatus(EIO), VI_ERROR_IO);
}

TEST(UsbResource, NamesParseInEitherNumberForm) {
    const auto hex = parseUsbResource("usb1::0x3a6d::0x0E31::TW1::0::instr");
    ASSERT_TRUE(hex.has_value());
    EXPECT_EQ(hex->vendor, 0x3A6D);
    EXPECT_EQ(hex->product, 0x0E31);
    EXPECT_EQ(hex->serial, "TW1");
    const auto decimal = parseUsbResource("USB::14957::3633::TW1::INSTR");
    ASSERT_TRUE(decimal.has_value());
    EXPECT_EQ(decimal->vendor, 0x3A6D);
    EXPECT_EQ(usbResourceName(*decimal), "USB0::0x3A6D::0x0E31::TW1::INSTR");
    for (const char* bad :
         {"USB0::0x3A6D::0x0E31::INSTR", "USB0::0x3A6D::0x0E31::TW1::SOCKET",
          "GPIB0::0x3A6D::0x0E31::TW1::INSTR", "USB0::0x13A6D::0x0E31::TW1::INSTR",
          "USB0::0xZZ::0x0E31::TW1::INSTR", "USB0::0x3A6D::0x0E31::::INSTR"}) {
        EXPECT_FALSE(parseUsbResource(bad).has_value()) << bad;
    }
}

// The diagnosis --check prints: every node with whether it opens, the udev
// rule, and the meters the program's own search finds and opens. A node
// linked to a read-only sysfs attribute refuses even root.
TEST_F(UsbtmcTree, TheCheckNamesNodesRightsRuleAndMeters) {
    constexpr const char* kNoRights = "/sys/kernel/uevent_seqnum";
    const int probe = ::open(kNoRights, O_RDWR);
    if (probe >= 0) {
        ::close(probe);
        GTEST_SKIP() << kNoRights << " opens for writing here";
    }
    fs::create_symlink(kNoRights, root_ / "dev/usbtmc10");
    LinkOptions options;
    options.searchSystemVisa = false;
    options.sysRoot = root_ / "sys";
    options.devRoot = root_ / "dev";
    const fs::path rules = root_ / "rules.d";
    fs::create_directories(rules);

    const std::string dev = options.devRoot.string();
    LinkCheck check = checkLink(options, {rules});
    EXPECT_TRUE(check.meterOpens());
    EXPECT_EQ(
        check.report(),
        "VISA library: none found; the built-in USB-TMC and socket support is used\n"
        "USB-TMC devices:\n"
        "  usbtmc0: USB0::0x3A6D::0x0E31::TW00000042::INSTR, " +
            dev +
            "/usbtmc0 opens\n"
            "  usbtmc2: USB0::0x0957::0x1755::MY123::INSTR (not a TQ4700), " +
            dev +
            "/usbtmc2 cannot be opened: no such file or directory\n"
            "  usbtmc10: USB0::0x3A6D::0x0E31::usbtmc10::INSTR, " +
            dev +
            "/usbtmc10 cannot be opened: permission denied (this user lacks the rights "
            "the udev rule gives)\n"
            "udev rule: 60-tq4700.rules is not installed; install it with: sudo cp "
            "packaging/60-tq4700.rules /etc/udev/rules.d/ && sudo udevadm control --reload && "
            "sudo udevadm trigger, then re-plug the meter\n"
            "Meter: USB0::0x3A6D::0x0E31::TW00000042::INSTR opens\n"
            "Meter: USB0::0x3A6D::0x0E31::usbtmc10::INSTR cannot be opened: permission denied "
            "on " +
            dev + "/usbtmc10 (VI_ERROR_NPERMISSION)\n");

    // Only the refused meter left, with the rule in place: no meter opens.
    fs::remove(root_ / "dev/usbtmc0");
    std::ofstream(rules / "60-tq4700.rules") << "# rule\n";
    check = checkLink(options, {rules});
    EXPECT_FALSE(check.meterOpens());
    const std::string report = check.report();
    EXPECT_NE(report.find("udev rule: " + (rules / "60-tq4700.rules").string() + "\n"),
              std::string::npos);
    EXPECT_NE(report.find("Meter: USB0::0x3A6D::0x0E31::TW00000042::INSTR cannot be opened: "),
              std::string::npos);

    // Nothing plugged in.
    options.sysRoot = root_ / "nowhere";
    check = checkLink(options, {rules});
    EXPECT_FALSE(check.meterOpens());
    EXPECT_NE(check.report().find("USB-TMC devices: none (is the meter plugged in and switched "
                                  "on?)\nudev rule: "),
              std::string::npos);
    EXPECT_NE(check.report().find("Meter: none found matching " + std::string(kMeterPattern) +
                                  " (VI_ERROR_RSRC_NFOUND)"),
              std::string::npos);
}

}  // namespace
}  // namespace tq::visa
