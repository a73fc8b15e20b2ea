// The serial layer over a real pseudo-terminal pair: the program opens the
// slave as COMn through a link in a temporary drive root, the test plays the
// instrument on the master.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "platform/com.h"
#include "platform/system.h"
#include "test_support.h"

using namespace platform;
using platform_test::ScopedEnv;
using platform_test::TempDir;

namespace {

constexpr int kPort = 5;
constexpr int kOtherPort = 6;  // a second name for the same device

TEST(ComLinkTest, PortResolvesThroughItsLinkInTheDriveRoot) {
    TempDir root;
    ScopedEnv env("VGX52_ROOT", root.path());
    ASSERT_EQ(symlink("/dev/pts/77", (root / "com3").c_str()), 0);
    ASSERT_EQ(symlink("devices/ttyUSB0", (root / "com12").c_str()), 0);
    EXPECT_EQ(ComDevicePath(3), "/dev/pts/77");
    EXPECT_EQ(ComDevicePath(12), root / "devices/ttyUSB0");  // relative to the root
    EXPECT_EQ(ComDevicePath(4), "/dev/ttyS3");
    EXPECT_EQ(ComDevicePath(1000), "/dev/ttyS999");
    EXPECT_EQ(ComDevicePath(0), "");
    EXPECT_EQ(ComDevicePath(1001), "");
}

TEST(ComArgumentTest, BadPortsAndSettingsAreRefusedBeforeAnythingOpens) {
    TempDir root;
    ScopedEnv env("VGX52_ROOT", root.path());
    EXPECT_EQ(OpenComConfig(0, "", 38400, 0, 8, 1, 1024, 1024), kComErrInvalidPort);
    EXPECT_EQ(ReturnRS232Err(), kComErrInvalidPort);
    EXPECT_EQ(OpenComConfig(1001, "", 38400, 0, 8, 1, 1024, 1024), kComErrInvalidPort);
    EXPECT_EQ(OpenComConfig(7, "", 12345, 0, 8, 1, 1024, 1024), kComErrBadParameter);
    EXPECT_EQ(OpenComConfig(7, "", 38400, 5, 8, 1, 1024, 1024), kComErrBadParameter);
    EXPECT_EQ(OpenComConfig(7, "", 38400, 0, 9, 1, 1024, 1024), kComErrBadParameter);
    EXPECT_EQ(OpenComConfig(7, "", 38400, 0, 8, 3, 1024, 1024), kComErrBadParameter);
    EXPECT_EQ(OpenComConfig(7, "", 38400, 0, 8, 1, -1, 1024), kComErrBadParameter);
    // A link to nothing: there is no device behind the port.
    ASSERT_EQ(symlink("/nonexistent/tty", (root / "com7").c_str()), 0);
    EXPECT_EQ(OpenComConfig(7, "", 38400, 0, 8, 1, 1024, 1024), kComErrNoDevice);
    EXPECT_FALSE(IsComOpen(7));

    unsigned char b[4];
    EXPECT_EQ(ComRd(7, b, 4), kComErrNotOpen);
    EXPECT_EQ(ComWrt(7, b, 4), kComErrNotOpen);
    EXPECT_EQ(ComRdByte(7), kComErrNotOpen);
    EXPECT_EQ(CloseCom(7), kComErrNotOpen);
    EXPECT_EQ(GetComTime(7), -1);
    EXPECT_EQ(ReturnRS232Err(), kComErrNotOpen);
}

class PtyTest : public ::testing::Test {
protected:
    TempDir root;
    ScopedEnv env{"VGX52_ROOT", root.path()};
    int master = -1;

    void SetUp() override {
        master = posix_openpt(O_RDWR | O_NOCTTY);
        ASSERT_GE(master, 0);
        ASSERT_EQ(grantpt(master), 0);
        ASSERT_EQ(unlockpt(master), 0);
        const char *slave = ptsname(master);
        ASSERT_NE(slave, nullptr);
        ASSERT_EQ(symlink(slave, (root / "com5").c_str()), 0);
        ASSERT_EQ(symlink(slave, (root / "com6").c_str()), 0);
        ASSERT_EQ(OpenComConfig(kPort, "", 38400, kParityNone, 8, 1, 1024, 1024), kComOk);
        ASSERT_EQ(SetComTime(kPort, 1.0), kComOk);
    }
    void TearDown() override {
        CloseCom(kPort);
        CloseCom(kOtherPort);
        if (master >= 0) close(master);
    }

    void Send(const std::string &bytes) {
        ASSERT_EQ(write(master, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    // What the program sent, waiting up to a second for `count` bytes.
    std::string Receive(std::size_t count) {
        std::string got;
        const double end = Timer() + 1.0;
        while (got.size() < count && Timer() < end) {
            pollfd p{master, POLLIN, 0};
            if (poll(&p, 1, 50) <= 0) continue;
            char buf[256];
            const ssize_t n = read(master, buf, std::min(sizeof buf, count - got.size()));
            if (n > 0) got.append(buf, static_cast<std::size_t>(n));
        }
        return got;
    }
    void WaitForInput(int count) {
        const double end = Timer() + 1.0;
        while (GetInQLen(kPort) < count && Timer() < end) Delay(0.005);
    }
};

TEST_F(PtyTest, BytesTravelBothWaysUnchanged) {
    // Every byte value, including NUL, CR, LF, XON and XOFF, must pass untouched.
    std::string all;
    for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
    EXPECT_EQ(ComWrt(kPort, all.data(), 256), 256);
    EXPECT_EQ(ReturnRS232Err(), 0);
    EXPECT_EQ(Receive(256), all);

    Send(all);
    std::string back(256, '\0');
    EXPECT_EQ(ComRd(kPort, back.data(), 256), 256);
    EXPECT_EQ(ReturnRS232Err(), 0);
    EXPECT_EQ(back, all);

    EXPECT_EQ(ComWrtByte(kPort, 0x01), 1);
    EXPECT_EQ(Receive(1), std::string(1, '\x01'));
    Send("\xFF");
    EXPECT_EQ(ComRdByte(kPort), 0xFF);
}

TEST_F(PtyTest, ReadThatTimesOutReturnsThePartialCountAndMinus99) {
    ASSERT_EQ(SetComTime(kPort, 0.3), 0);
    EXPECT_DOUBLE_EQ(GetComTime(kPort), 0.3);
    Send("abc");
    char buf[10] = {};
    const double start = Timer();
    EXPECT_EQ(ComRd(kPort, buf, 10), 3);
    const double elapsed = Timer() - start;
    EXPECT_EQ(ReturnRS232Err(), kComErrTimeout);
    EXPECT_EQ(std::string(buf, 3), "abc");
    EXPECT_GE(elapsed, 0.29);
    EXPECT_LT(elapsed, 1.5);

    EXPECT_EQ(ComRdByte(kPort), kComErrTimeout);
    EXPECT_EQ(ReturnRS232Err(), kComErrTimeout);
}

TEST_F(PtyTest, TimeOutBoundsTheWholeReadNotEachByte) {
    // A sender trickling a byte every 50 ms must not stretch a 0.3 s read.
    ASSERT_EQ(SetComTime(kPort, 0.3), 0);
    std::thread trickle([this] {
        for (int i = 0; i < 30; ++i) {
            if (write(master, "x", 1) != 1) break;
            Delay(0.05);
        }
    });
    char buf[100];
    const double start = Timer();
    const int n = ComRd(kPort, buf, sizeof buf);
    const double elapsed = Timer() - start;
    trickle.join();
    EXPECT_GT(n, 0);
    EXPECT_LT(n, 30);
    EXPECT_EQ(ReturnRS232Err(), kComErrTimeout);
    EXPECT_LT(elapsed, 1.0);
}

TEST_F(PtyTest, ReadToTerminatorTakesNothingBeyondIt) {
    Send("OK\r\nERROR\r\nABCDEF");
    char buf[32] = {};
    EXPECT_EQ(ComRdTerm(kPort, buf, sizeof buf, '\n'), 3);
    EXPECT_EQ(std::string(buf, 3), "OK\r");
    EXPECT_EQ(ReturnRS232Err(), 0);
    EXPECT_EQ(ComRdTerm(kPort, buf, sizeof buf, '\n'), 6);
    EXPECT_EQ(std::string(buf, 6), "ERROR\r");
    // A count reached first stops the read; the rest stays queued.
    EXPECT_EQ(ComRdTerm(kPort, buf, 2, '\n'), 2);
    EXPECT_EQ(std::string(buf, 2), "AB");
    EXPECT_EQ(ComRdByte(kPort), 'C');
    // No terminator before the time-out: what came, and -99.
    ASSERT_EQ(SetComTime(kPort, 0.1), 0);
    EXPECT_EQ(ComRdTerm(kPort, buf, sizeof buf, '\n'), 3);
    EXPECT_EQ(ReturnRS232Err(), kComErrTimeout);
}

TEST_F(PtyTest, QueueLengthsAndFlushes) {
    Send("0123456789");
    WaitForInput(10);
    EXPECT_EQ(GetInQLen(kPort), 10);
    EXPECT_EQ(FlushInQ(kPort), 0);
    EXPECT_EQ(GetInQLen(kPort), 0);
    ASSERT_EQ(SetComTime(kPort, 0.05), 0);
    char c;
    EXPECT_EQ(ComRd(kPort, &c, 1), 0);
    EXPECT_EQ(ReturnRS232Err(), kComErrTimeout);

    // A pseudo-terminal keeps no output count; it must read as empty, and
    // waiting for the output to leave must end at once.
    EXPECT_EQ(ComWrt(kPort, "abc", 3), 3);
    EXPECT_EQ(GetOutQLen(kPort), 0);
    EXPECT_EQ(FlushOutQ(kPort), 0);
    const double start = Timer();
    EXPECT_EQ(WaitSent(kPort), 0);
    EXPECT_LT(Timer() - start, 0.5);
}

TEST_F(PtyTest, WriteToAStalledLineEndsAtTheTimeOut) {
    // Nobody reads the master: the write must stop at the time-out.
    ASSERT_EQ(SetComTime(kPort, 0.3), 0);
    std::string big(1 << 20, 'z');
    const double start = Timer();
    const int n = ComWrt(kPort, big.data(), static_cast<int>(big.size()));
    EXPECT_LT(Timer() - start, 2.0);
    EXPECT_GE(n, 0);
    EXPECT_LT(n, static_cast<int>(big.size()));
    EXPECT_EQ(ReturnRS232Err(), kComErrTimeout);
    EXPECT_EQ(FlushOutQ(kPort), 0);
}

TEST_F(PtyTest, HangUpOfTheOtherEndIsAnErrorNotAWaitOrASpin) {
    ASSERT_EQ(SetComTime(kPort, 3.0), 0);
    close(master);
    master = -1;
    char buf[4];
    const double start = Timer();
    const double cpu = platform_test::CpuSeconds();
    EXPECT_LE(ComRd(kPort, buf, 4), 0);
    EXPECT_EQ(ReturnRS232Err(), kComErrIo);
    EXPECT_LT(Timer() - start, 1.0);
    EXPECT_LT(platform_test::CpuSeconds() - cpu, 0.5);
}

TEST_F(PtyTest, PortIsHeldExclusively) {
    // Another port number naming the same device, in this process...
    EXPECT_EQ(OpenComConfig(kOtherPort, "", 38400, 0, 8, 1, 1024, 1024), kComErrInUse);
    EXPECT_EQ(ReturnRS232Err(), kComErrInUse);
    EXPECT_FALSE(IsComOpen(kOtherPort));

    // ...and in another process.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) _exit(OpenComConfig(kOtherPort, "", 38400, 0, 8, 1, 1024, 1024) == kComErrInUse ? 0 : 1);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    // Once closed, the device is free again.
    EXPECT_EQ(CloseCom(kPort), 0);
    EXPECT_EQ(OpenComConfig(kOtherPort, "", 38400, 0, 8, 1, 1024, 1024), kComOk);
}

TEST_F(PtyTest, ReopeningAnOpenPortAppliesNewSettings) {
    EXPECT_EQ(OpenComConfig(kPort, "", 9600, kParityEven, 7, 2, 512, 512), kComOk);
    EXPECT_TRUE(IsComOpen(kPort));
    EXPECT_EQ(ComWrt(kPort, "hi", 2), 2);
    EXPECT_EQ(Receive(2), "hi");
}

TEST_F(PtyTest, DeviceNameCanNameAnotherPortOrAHostPath) {
    ASSERT_EQ(CloseCom(kPort), 0);
    EXPECT_EQ(OpenComConfig(9, "COM5", 38400, 0, 8, 1, 0, 0), kComOk);
    EXPECT_EQ(ComWrt(9, "A", 1), 1);
    EXPECT_EQ(Receive(1), "A");
    EXPECT_EQ(CloseCom(9), 0);
    EXPECT_EQ(OpenComConfig(9, ptsname(master), 38400, 0, 8, 1, 0, 0), kComOk);
    EXPECT_EQ(CloseCom(9), 0);
}

}  // namespace
