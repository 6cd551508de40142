// The port check's facts on a system the test lays out (dev, sysfs, proc,
// lock files) and on a real pseudo-terminal.
#include "CoreTestSupport.h"
#include "PortFacts.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class FakeSystem : public ::testing::Test {
protected:
    void SetUp() override {
        roots = {(root / "dev").string(), (root / "sys").string(), (root / "proc").string(), {(root / "lock").string()}};
        // An FTDI adapter (group dialout) and an Arduino's ACM port (group uucp), held by ModemManager.
        usb("ttyUSB0", "1-1", "0403", "6001", "usb-serial/drivers/ftdi_sio", 20);
        usb("ttyACM0", "1-2", "2341", "0043", "usb/drivers/cdc_acm", 10);
        fs::create_directories(root / "dev/serial/by-id");
        fs::create_symlink("../../ttyUSB0", root / "dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");
        fs::create_directories(root / "proc/812/fd");
        write(root / "proc/812/comm", "ModemManager\n");
        fs::create_symlink(root / "dev/ttyACM0", root / "proc/812/fd/7");
        fs::create_directories(root / "lock");
    }

    static void write(const fs::path& p, const std::string& text) { std::ofstream(p) << text; }
    void usb(const std::string& tty, const std::string& port, const char* vendor, const char* product,
             const std::string& driver, gid_t group) {
        const fs::path dev = root / "dev" / tty;
        fs::create_directories(dev.parent_path());
        write(dev, "");
        ASSERT_EQ(::chown(dev.c_str(), 0, group), 0);
        fs::permissions(dev, fs::perms(0660));
        const fs::path usbDev = root / "sys/devices/pci0000:00/usb1" / port;
        const fs::path iface = usbDev / (port + ":1.0");
        // ttyUSB has a device of its own below the interface; ttyACM's is the interface.
        const fs::path ttyDev = tty.rfind("ttyUSB", 0) == 0 ? iface / tty : iface;
        fs::create_directories(ttyDev);
        write(usbDev / "idVendor", std::string(vendor) + "\n");
        write(usbDev / "idProduct", std::string(product) + "\n");
        fs::create_directories(root / "sys/bus" / driver);
        fs::create_symlink(root / "sys/bus" / driver, ttyDev / "driver");
        fs::create_directories(root / "sys/class/tty" / tty);
        fs::create_symlink(ttyDev, root / "sys/class/tty" / tty / "device");
    }
    std::string dev(const char* name) const { return (root / "dev" / name).string(); }

    const kqtest::TempDir tmp{"kqports"};
    const fs::path root = tmp.path;
    kq::SystemRoots roots;
};

} // namespace

TEST_F(FakeSystem, ByIdNameAdapterAndWhetherTheUserCanOpenIt) {
    const kq::Identity user{1000, {1000}}, inUucp{1000, {1000, 10}}, admin{0, {0}};
    // Not in dialout: the advice names dialout; the by-id name, driver and ids come from the tree.
    kq::PortFacts f = kq::CheckPort(dev("ttyUSB0"), roots, user);
    EXPECT_EQ(f.byId, dev("serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0"));
    EXPECT_EQ(f.driver + " " + f.usbId, "ftdi_sio 0403:6001");
    EXPECT_EQ(f.StateText(), "permission denied: add your user to the 'dialout' group (sudo usermod -aG dialout $USER) "
                             "and log in again");
    // Another group: named, and no dialout advice.
    f = kq::CheckPort(dev("ttyACM0"), roots, user);
    EXPECT_EQ(f.driver + " " + f.usbId + " " + f.byId, "cdc_acm 2341:0043 ");
    EXPECT_EQ(f.StateText(), "permission denied: it belongs to the group 'uucp', which your user is not in");
    // In the group: held open by ModemManager, found in proc.
    EXPECT_EQ(kq::CheckPort(dev("ttyACM0"), roots, inUucp).StateText(), "busy: in use by ModemManager (pid 812)");
    EXPECT_EQ(kq::BusyText(dev("ttyACM0"), kq::OpenBy(dev("ttyACM0"), roots)),
              "port busy: " + dev("ttyACM0") + " is in use by ModemManager (pid 812)");
    // A lock file: of a live process it is busy, of one gone it is stale and removed only when asked.
    const fs::path lock = root / "lock/LCK..ttyUSB0";
    write(lock, "       812\n");
    EXPECT_EQ(kq::CheckPort(dev("ttyUSB0"), roots, admin).StateText(), "busy: in use by ModemManager (pid 812)");
    write(lock, "4242\nminicom\nhost\n");
    EXPECT_EQ(kq::CheckPort(dev("ttyUSB0"), roots, admin).StateText(), "ok");
    EXPECT_TRUE(fs::exists(lock));
    EXPECT_EQ(kq::LockHolder(dev("ttyUSB0"), roots, true).pid, 0);
    EXPECT_FALSE(fs::exists(lock));
    // Missing: a device that is not there, and a by-id link whose adapter was pulled.
    EXPECT_EQ(kq::CheckPort(dev("ttyUSB9"), roots, admin).StateText(), "missing");
    fs::remove(root / "dev/ttyUSB0");
    EXPECT_EQ(kq::CheckPort(dev("serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0"), roots, admin).StateText(),
              "missing");
    EXPECT_EQ(kq::LockFileName("/dev/pts/3"), "LCK..pts_3");
}

TEST(PortFacts, APseudoTerminalIsOkUntilAProgramHoldsIt) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_TRUE(master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0);
    const std::string pts = ptsname(master);
    kq::PortFacts f = kq::CheckPort(pts);
    EXPECT_EQ(f.StateText() + f.driver + f.usbId + f.byId, "ok");
    const int held = ::open(pts.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(held, 0);
    std::ifstream comm("/proc/self/comm");
    std::string me;
    std::getline(comm, me);
    f = kq::CheckPort(pts);
    EXPECT_EQ(f.StateText(), "busy: in use by " + me + " (pid " + std::to_string(getpid()) + ")");
    ::close(held);
    ::close(master);
    // Held by many programs, yet no port: not taken for a busy one.
    EXPECT_EQ(kq::CheckPort("/dev/null").StateText(), "not a serial port");
}
