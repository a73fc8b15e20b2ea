// Finding the serial ports: which device each COMn is, whether another
// process holds it (across processes, the superuser included), what sysfs
// says of USB adapters, and linking a device as COMn.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/com.h"
#include "platform/serial_linux.h"
#include "platform/serial_ports.h"
#include "test_support.h"

namespace {

namespace fs = std::filesystem;
using namespace platform;
using platform_test::ScopedEnv;
using platform_test::TempDir;
using platform_test::WriteFile;

// A pseudo-terminal whose terminal end stands for a serial device.
class Pty {
public:
    Pty() {
        master_ = posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ >= 0 && grantpt(master_) == 0 && unlockpt(master_) == 0) name_ = ptsname(master_);
    }
    ~Pty() { close(master_); }
    const std::string &Name() const { return name_; }
    dev_t Number() const {
        struct stat st {};
        stat(name_.c_str(), &st);
        return st.st_rdev;
    }

private:
    int master_ = -1;
    std::string name_;
};

// A child process that runs `hold` and keeps what it opened until the test ends.
class Holder {
public:
    template <class F>
    explicit Holder(F &&hold) {
        int ready[2], done[2];
        if (pipe(ready) != 0 || pipe(done) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            close(ready[0]);
            close(done[1]);
            const char ok = hold() ? 'y' : 'n';
            if (write(ready[1], &ok, 1) != 1) _exit(1);
            char c;
            while (read(done[0], &c, 1) > 0) {}
            _exit(0);
        }
        close(ready[1]);
        close(done[0]);
        done_ = done[1];
        char ok = 'n';
        ok_ = read(ready[0], &ok, 1) == 1 && ok == 'y';
        close(ready[0]);
    }
    ~Holder() {
        close(done_);
        if (pid_ > 0) waitpid(pid_, nullptr, 0);
    }
    bool Ok() const { return ok_; }
    int Pid() const { return pid_; }

private:
    pid_t pid_ = -1;
    int done_ = -1;
    bool ok_ = false;
};

class SerialPortsTest : public ::testing::Test {
protected:
    void SetUp() override {
        chmod(root_.path().c_str(), 0755);  // the unprivileged child must reach the links
        fs::create_directories(system_.path() + "/dev");
        fs::create_directories(system_.path() + "/sys/dev/char");
        fs::create_directories(system_.path() + "/lock");
        auto &folders = detail::SerialFolders();
        saved_ = folders;
        folders.dev = system_.path() + "/dev";
        folders.sys = system_.path() + "/sys";
        folders.locks = {system_.path() + "/lock"};
    }
    void TearDown() override {
        for (int port : {5, 6, 7}) CloseCom(port);
        detail::SerialFolders() = saved_;
    }
    void Link(int port, const std::string &target) {
        const std::string link = root_ / ("com" + std::to_string(port));
        fs::remove(link);
        fs::create_symlink(target, link);
    }
    PortStatus Probe(int port) { return ProbeSerialDevice(ComPortDevice(port)); }
    // A device folder in the test's sysfs, for the device `number`.
    std::string SysDevice(dev_t number, const std::string &folder) {
        fs::create_directories(system_ / folder);
        fs::create_directory_symlink(
            system_ / folder,
            system_.path() + "/sys/dev/char/" + std::to_string(major(number)) + ":" + std::to_string(minor(number)));
        return system_ / folder;
    }

    TempDir root_, system_;
    ScopedEnv env_{"VGX52_ROOT", root_.path()};
    detail::SerialSystemFolders saved_;
};

TEST_F(SerialPortsTest, APortIsAbsentFreeOrHeldByAnotherProcessThatIsNamed) {
    Pty device;
    Link(5, device.Name());
    Link(6, root_ / "nothing-there");
    EXPECT_EQ(ComPortDevice(5).kernelName, device.Name());
    EXPECT_EQ(Probe(5).state, PortState::Free);
    EXPECT_EQ(Probe(6).state, PortState::Absent);
    EXPECT_EQ(ComPortDevice(6).kernelName, "");
    EXPECT_EQ(Probe(99).state, PortState::Absent) << "no link, no /dev/ttyS98";

    // Held through this layer in another process: its lock holds against
    // this process too, the superuser included.
    Holder holder([] { return OpenComConfig(5, "", 38400, 0, 8, 1, 1024, 1024) == kComOk; });
    ASSERT_TRUE(holder.Ok());
    const PortStatus held = Probe(5);
    EXPECT_EQ(held.state, PortState::InUse);
    EXPECT_EQ(held.holderPid, holder.Pid());
    EXPECT_FALSE(held.holderName.empty());
    EXPECT_EQ(OpenComConfig(5, "", 38400, 0, 8, 1, 1024, 1024), kComErrInUse);
}

TEST_F(SerialPortsTest, AnUnprivilegedUserSeesHeldPortsInUseAndOthersOutOfBounds) {
    if (geteuid() != 0) GTEST_SKIP() << "needs the superuser to become another user";
    Pty held, closed, exclusive;
    Link(5, held.Name());
    Link(6, closed.Name());
    Link(7, exclusive.Name());
    ASSERT_EQ(chmod(closed.Name().c_str(), 0600), 0);
    ASSERT_EQ(OpenComConfig(5, "", 38400, 0, 8, 1, 1024, 1024), kComOk);
    // Another program that keeps its port with TIOCEXCL alone, no lock.
    ASSERT_EQ(chmod(exclusive.Name().c_str(), 0666), 0);
    const std::string name = exclusive.Name();
    Holder holder([&] {
        const int fd = open(name.c_str(), O_RDWR | O_NOCTTY);
        return fd >= 0 && ioctl(fd, TIOCEXCL) == 0;
    });
    ASSERT_TRUE(holder.Ok());
    struct stat st {};
    stat(closed.Name().c_str(), &st);
    const std::string group = detail::DeviceGroup(closed.Name());

    int report[2];
    ASSERT_EQ(pipe(report), 0);
    const pid_t child = fork();
    if (child == 0) {
        close(report[0]);
        if (setgid(65534) != 0 || setuid(65534) != 0) _exit(1);
        const PortStatus a = Probe(5), b = Probe(6), c = Probe(7);
        char line[256];
        const int n = std::snprintf(line, sizeof line, "%d %d %d %s %d", static_cast<int>(a.state), a.holderPid,
                                    static_cast<int>(b.state), b.group.c_str(), static_cast<int>(c.state));
        _exit(write(report[1], line, static_cast<std::size_t>(n)) == n ? 0 : 1);
    }
    close(report[1]);
    char line[256] = {};
    const ssize_t n = read(report[0], line, sizeof line - 1);
    close(report[0]);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_GT(n, 0);
    EXPECT_EQ(std::string(line), std::to_string(static_cast<int>(PortState::InUse)) + " " + std::to_string(getpid()) +
                                     " " + std::to_string(static_cast<int>(PortState::NoPermission)) + " " + group +
                                     " " + std::to_string(static_cast<int>(PortState::InUse)));
}

TEST_F(SerialPortsTest, ALiveUucpLockFileHoldsThePortAndAStaleOneDoesNot) {
    Pty device;
    Link(5, device.Name());
    const std::string lock = system_.path() + "/lock/LCK.." + device.Name().substr(5).replace(3, 1, "_");
    char text[16];
    std::snprintf(text, sizeof text, "%10d\n", static_cast<int>(getppid()));
    WriteFile(lock, text);
    const PortStatus held = Probe(5);
    EXPECT_EQ(held.state, PortState::InUse);
    EXPECT_EQ(held.holderPid, getppid());
    EXPECT_EQ(OpenComConfig(5, "", 38400, 0, 8, 1, 1024, 1024), kComErrInUse);

    // Old binary form, and a process that is gone.
    const pid_t gone = fork();
    if (gone == 0) _exit(0);
    waitpid(gone, nullptr, 0);
    const int binary = gone;
    WriteFile(lock, std::string(reinterpret_cast<const char *>(&binary), sizeof binary));
    EXPECT_EQ(Probe(5).state, PortState::Free);
    EXPECT_EQ(OpenComConfig(5, "", 38400, 0, 8, 1, 1024, 1024), kComOk);
}

TEST_F(SerialPortsTest, SysfsTellsAUsbAdapterAndASerialPortWithoutItsChip) {
    Pty usb, bare;
    Link(5, usb.Name());
    Link(6, bare.Name());
    const std::string adapter = "sys/devices/pci0000:00/usb1/1-2";
    SysDevice(usb.Number(), adapter + "/1-2:1.0/ttyUSB0/tty/ttyUSB0");
    WriteFile(system_ / (adapter + "/idVendor"), "0403\n");
    WriteFile(system_ / (adapter + "/idProduct"), "6001\n");
    WriteFile(system_ / (adapter + "/manufacturer"), "FTDI\n");
    WriteFile(system_ / (adapter + "/product"), "FT232R USB UART\n");
    WriteFile(system_ / (adapter + "/serial"), "A10K\x01Z\n");
    WriteFile(SysDevice(bare.Number(), "sys/devices/platform/serial8250/tty/ttyS3") + "/type", "0\n");

    EXPECT_EQ(ComPortDevice(5).description, "FTDI FT232R USB UART, serial number A10K?Z, USB 0403:6001");
    const SerialDevice port = ComPortDevice(6);
    EXPECT_TRUE(port.chipMissing);
    EXPECT_EQ(port.description, "");
    EXPECT_EQ(ProbeSerialDevice(port).state, PortState::Absent);
}

TEST_F(SerialPortsTest, DevicesAreListedInOrderWithTheirStableNames) {
    Pty usb, second, third, bare;
    const std::string dev = system_.path() + "/dev";
    fs::create_symlink(usb.Name(), dev + "/ttyUSB0");
    fs::create_symlink(second.Name(), dev + "/ttyS10");
    fs::create_symlink(third.Name(), dev + "/ttyS2");
    fs::create_symlink(bare.Name(), dev + "/ttyS0");
    fs::create_symlink(usb.Name(), dev + "/ttyUSBx");
    WriteFile(dev + "/ttyACM0", "not a device");
    WriteFile(SysDevice(bare.Number(), "sys/devices/serial8250/ttyS0") + "/type", "0\n");
    fs::create_directories(dev + "/serial/by-id");
    fs::create_symlink(usb.Name(), dev + "/serial/by-id/usb-FTDI_FT232R_A10K-if00-port0");

    std::string names;
    for (const SerialDevice &d : ListSerialDevices()) names += d.path.substr(dev.size() + 1) + " ";
    EXPECT_EQ(names, "ttyUSB0 ttyS2 ttyS10 ");
    EXPECT_EQ(ListSerialDevices()[0].stablePath, dev + "/serial/by-id/usb-FTDI_FT232R_A10K-if00-port0");
}

TEST_F(SerialPortsTest, LinkingMakesTheDeviceTheComPortByItsStableName) {
    Pty usb, other;
    const std::string byId = system_.path() + "/dev/serial/by-id/usb-FTDI_FT232R_A10K-if00-port0";
    fs::create_directories(fs::path(byId).parent_path());
    fs::create_symlink(usb.Name(), byId);
    std::string target, error;
    ASSERT_EQ(LinkComPort(7, usb.Name(), target, error), 0) << error;
    EXPECT_EQ(target, byId);
    EXPECT_EQ(ComDevicePath(7), byId);
    // Replaced, whatever the letter case of the old link.
    fs::rename(root_ / "com7", root_ / "COM7");
    ASSERT_EQ(LinkComPort(7, other.Name(), target, error), 0) << error;
    EXPECT_EQ(target, other.Name());
    EXPECT_EQ(ComPortDevice(7).kernelName, other.Name());
    EXPECT_FALSE(fs::exists(fs::symlink_status(root_ / "com7")));

    WriteFile(root_ / "plain", "x");
    EXPECT_EQ(LinkComPort(7, root_ / "plain", target, error), -1);
    EXPECT_NE(error.find("is not a character device"), std::string::npos) << error;
    EXPECT_EQ(LinkComPort(7, root_ / "missing", target, error), -1);
    WriteFile(root_ / "com8", "a file, not a link");
    EXPECT_EQ(LinkComPort(8, usb.Name(), target, error), -1);
    EXPECT_NE(error.find("not a link"), std::string::npos) << error;
    EXPECT_EQ(platform_test::ReadFile(root_ / "com8"), "a file, not a link");
}

}  // namespace
