// A real COM port of the Windows build: VGX52_TEST_COM names one with the
// simulated modem behind it, answering BUSY to number 666 after its dial
// delay (scripts/test-windows maps the Linux simulator's pseudo-terminal
// there); without it the cases are skipped. The wait for input takes a byte
// from the system to learn that input came: it must stay the head of the
// queue for the reads, and a flush must drop it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/com.h"
#include "platform/system.h"

namespace {

class ComPort : public ::testing::Test {
protected:
    void SetUp() override {
        const char *port = std::getenv("VGX52_TEST_COM");
        if (!port) GTEST_SKIP() << "VGX52_TEST_COM names no port with the simulated modem";
        port_ = std::atoi(port);
        ASSERT_EQ(platform::OpenComConfig(port_, "", 9600, platform::kParityNone, 8, 1, 512, 512), 0);
        platform::SetComTime(port_, 2.0);
        Send("ATE0\r");  // no echo: nothing comes before the modem's answer
        ASSERT_NE(ReadUntil("OK\r\n"), "") << "the modem answers";
        platform::FlushInQ(port_);
    }
    void TearDown() override {
        if (port_ > 0) platform::CloseCom(port_);
    }
    void Send(const std::string &text) { platform::ComWrt(port_, text.data(), static_cast<int>(text.size())); }
    // What comes up to `last`, or until a read runs out of time.
    std::string ReadUntil(const std::string &last) {
        std::string text;
        while (text.size() < 64 &&
               (text.size() < last.size() || text.compare(text.size() - last.size(), last.size(), last) != 0)) {
            const int byte = platform::ComRdByte(port_);
            if (byte < 0) break;
            text += static_cast<char>(byte);
        }
        return text;
    }
    int port_ = 0;
};

TEST_F(ComPort, WaitingLeavesTheFirstByteAtTheHeadOfTheQueue) {
    Send("ATDT666\r");  // the answer comes only after the dial delay: the wait waits
    EXPECT_GT(platform::WaitForInput(port_, 2.0), 0);
    EXPECT_GT(platform::GetInQLen(port_), 0);
    EXPECT_GT(platform::WaitForInput(port_, 2.0), 0) << "and again, with the input still queued";
    EXPECT_EQ(ReadUntil("BUSY\r\n"), "\r\nBUSY\r\n");
}

TEST_F(ComPort, FlushingDropsWhatTheWaitTook) {
    Send("ATDT666\r");
    ASSERT_GT(platform::WaitForInput(port_, 2.0), 0);
    platform::Delay(0.2);  // the whole answer is in
    EXPECT_EQ(platform::FlushInQ(port_), 0);
    EXPECT_EQ(platform::GetInQLen(port_), 0);
    const double start = platform::Timer();
    EXPECT_EQ(platform::WaitForInput(port_, 0.3), 0);
    EXPECT_GE(platform::Timer() - start, 0.29);
    platform::SetComTime(port_, 0.2);
    EXPECT_EQ(platform::ComRdByte(port_), platform::kComErrTimeout);
}

}  // namespace
