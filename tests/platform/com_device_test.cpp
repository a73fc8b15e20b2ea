// An in-process device attached to a port number takes the place of a
// device file.
#include <gtest/gtest.h>

#include <deque>
#include <vector>

#include "platform/com.h"
#include "platform/system.h"
#include "test_support.h"

using namespace platform;

namespace {

constexpr int kPort = 900;  // no device file behind it

class FakeDevice : public ComDevice {
public:
    std::string written;
    std::deque<unsigned char> pending;
    std::vector<double> timeouts;
    int discards = 0;

    void Write(const unsigned char *data, std::size_t count) override {
        written.append(reinterpret_cast<const char *>(data), count);
    }
    // Returns at once when empty, as a careless device would: the port
    // must still honour its time-out without spinning.
    std::size_t Read(unsigned char *data, std::size_t count, double timeoutSeconds) override {
        timeouts.push_back(timeoutSeconds);
        std::size_t n = 0;
        while (n < count && !pending.empty()) {
            data[n++] = pending.front();
            pending.pop_front();
        }
        return n;
    }
    std::size_t Available() override { return pending.size(); }
    void DiscardInput() override {
        pending.clear();
        ++discards;
    }
    void Queue(const std::string &s) { pending.insert(pending.end(), s.begin(), s.end()); }
};

class ComDeviceTest : public ::testing::Test {
protected:
    FakeDevice device;
    void SetUp() override {
        AttachComDevice(kPort, &device);
        ASSERT_EQ(OpenComConfig(kPort, "", 38400, 0, 8, 1, 1024, 1024), kComOk);
        ASSERT_EQ(SetComTime(kPort, 0.2), kComOk);
    }
    void TearDown() override {
        CloseCom(kPort);
        AttachComDevice(kPort, nullptr);
    }
};

TEST_F(ComDeviceTest, AllOperationsGoToTheDevice) {
    EXPECT_EQ(ComWrt(kPort, "\xFF\xFF", 2), 2);
    EXPECT_EQ(ComWrtByte(kPort, 0), 1);
    EXPECT_EQ(device.written, std::string("\xFF\xFF\0", 3));

    device.Queue("7100");
    EXPECT_EQ(GetInQLen(kPort), 4);
    char buf[8] = {};
    EXPECT_EQ(ComRd(kPort, buf, 2), 2);
    EXPECT_EQ(std::string(buf, 2), "71");
    EXPECT_EQ(ComRdByte(kPort), '0');
    EXPECT_EQ(FlushInQ(kPort), 0);
    EXPECT_EQ(device.discards, 1);
    EXPECT_EQ(GetInQLen(kPort), 0);
    EXPECT_EQ(GetOutQLen(kPort), 0);
    EXPECT_EQ(WaitSent(kPort), 0);

    device.Queue(
        "AB\x01"
        "C");
    EXPECT_EQ(ComRdTerm(kPort, buf, sizeof buf, 0x01), 2);
    EXPECT_EQ(ComRdByte(kPort), 'C');
}

TEST_F(ComDeviceTest, TimeOutIsHonouredWithoutSpinning) {
    device.Queue("x");
    char buf[4];
    const double start = Timer();
    const double cpu = platform_test::CpuSeconds();
    EXPECT_EQ(ComRd(kPort, buf, 4), 1);
    const double elapsed = Timer() - start;
    EXPECT_EQ(ReturnRS232Err(), kComErrTimeout);
    EXPECT_GE(elapsed, 0.19);
    EXPECT_LT(elapsed, 1.0);
    EXPECT_LT(platform_test::CpuSeconds() - cpu, 0.1);
    // The device is offered what is left of the time-out, never more.
    ASSERT_FALSE(device.timeouts.empty());
    for (double t : device.timeouts) {
        EXPECT_LE(t, 0.2);
        EXPECT_GE(t, 0.0);
    }
    EXPECT_GT(device.timeouts.front(), 0.15);
}

TEST_F(ComDeviceTest, DetachingClosesAPortThatUsesTheDevice) {
    AttachComDevice(kPort, nullptr);
    EXPECT_FALSE(IsComOpen(kPort));
    EXPECT_EQ(ComWrt(kPort, "a", 1), kComErrNotOpen);
    // Without the device the port number has no device file either.
    EXPECT_LT(OpenComConfig(kPort, "", 38400, 0, 8, 1, 1024, 1024), 0);
}

TEST_F(ComDeviceTest, AttachingTakesEffectAtTheNextOpen) {
    FakeDevice second;
    AttachComDevice(kPort, &second);
    EXPECT_EQ(ComWrt(kPort, "1", 1), 1);
    EXPECT_EQ(OpenComConfig(kPort, "", 38400, 0, 8, 1, 1024, 1024), kComOk);
    EXPECT_EQ(ComWrt(kPort, "2", 1), 1);
    EXPECT_EQ(device.written, "1");
    EXPECT_EQ(second.written, "2");
    CloseCom(kPort);
    AttachComDevice(kPort, nullptr);
}

}  // namespace
