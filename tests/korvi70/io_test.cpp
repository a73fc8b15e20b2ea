// Reading and writing the instrument's I/O space ('F' and 'G') against the
// simulated instrument on a serial line.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

#include "korvi70/io.h"
#include "korvi70/link.h"
#include "link_fixture.h"

namespace korvi70_test {
namespace {

class IoTest : public SimLinkTest {
protected:
    std::vector<unsigned char> &io = instrument.State().io;
};

TEST_F(IoTest, ArgumentsOutOfRangeAreRefusedWithoutTraffic) {
    struct Case {
        int address, start, count;
        bool noBuffer;
    };
    const Case cases[] = {{1, 0, 1, false}, {256, 0, 1, false}, {5, -1, 1, false}, {5, 0x10000, 1, false},
                          {5, 0, 0, false}, {5, 0, 256, false}, {5, 0, -1, false}, {5, 0, 1, true}};
    std::array<unsigned char, 256> bytes{};
    for (const Case &c : cases) {
        unsigned char *buffer = c.noBuffer ? nullptr : bytes.data();
        EXPECT_EQ(Korvi70_PodWeWy(c.address, c.start, c.count, buffer), 1)
            << c.address << " " << c.start << " " << c.count;
        EXPECT_EQ(Korvi70_ZapWeWy(c.address, c.start, c.count, buffer), 1)
            << c.address << " " << c.start << " " << c.count;
    }
    EXPECT_TRUE(device.written.empty());
}

TEST_F(IoTest, ReadingThreeBytesFrom0x0100IsByteExact) {
    io[0x100] = 0xAB;
    io[0x101] = 0x01;
    io[0x102] = 0x7F;
    unsigned char bytes[3] = {};
    ASSERT_EQ(Korvi70_PodWeWy(5, 0x0100, 3, bytes), 0);
    EXPECT_EQ(device.written, Bytes({0xFF, 0xFF, 0x00, 0x05, 0x46}) + "010003" + Bytes({0x89, 0x01}));
    EXPECT_EQ(bytes[0], 0xAB);
    EXPECT_EQ(bytes[1], 0x01);
    EXPECT_EQ(bytes[2], 0x7F);
    // The reply's length byte must be 0x82 + 2 x 3: one bit off fails.
    instrument.Faults().wrongCheck = true;
    EXPECT_EQ(Korvi70_PodWeWy(5, 0x0100, 3, bytes), 3);
}

TEST_F(IoTest, WritingTwoBytesIsByteExactAndReachesTheInstrument) {
    // The input is flushed before the terminator goes out, not after it,
    // when the reply could already be there.
    device.replyAtOnce = true;
    const unsigned char bytes[] = {0xAB, 0x01};
    ASSERT_EQ(Korvi70_ZapWeWy(5, 0x0100, 2, bytes), 0);
    EXPECT_EQ(device.written, Bytes({0xFF, 0xFF, 0x00, 0x05, 0x47}) + "010002AB01" + Bytes({0x8D, 0x01}));
    EXPECT_EQ(io[0x100], 0xAB);
    EXPECT_EQ(io[0x101], 0x01);
}

TEST_F(IoTest, TheLongestWriteEndsAtTheTopOfTheAddressSpace) {
    // 255 bytes: the request's length byte is 0x89 + 510, taken modulo 256.
    std::array<unsigned char, 255> bytes;
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<unsigned char>(i ^ 0x5A);
    ASSERT_EQ(Korvi70_ZapWeWy(5, 0xFF01, 255, bytes.data()), 0);
    EXPECT_EQ(static_cast<unsigned char>(device.written[device.written.size() - 2]), (0x89 + 510) % 256);
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), io.begin() + 0xFF01));
    unsigned char last[1] = {};
    ASSERT_EQ(Korvi70_PodWeWy(5, 0xFFFF, 1, last), 0);
    EXPECT_EQ(last[0], bytes[254]);
}

TEST_F(IoTest, OnAnEchoingLineTheReadTakesTheEchoOffBeforeTheReply) {
    instrument.Faults().echo = true;
    Reopen();
    ASSERT_EQ(Korvi70_JestEcho, 1);
    const unsigned char written[] = {0x00, 0x46, 0xFF, 0x01};  // the bytes a frame is made of
    ASSERT_EQ(Korvi70_ZapWeWy(5, 0x2000, 4, written), 0);
    unsigned char read[4] = {};
    ASSERT_EQ(Korvi70_PodWeWy(5, 0x2000, 4, read), 0);
    EXPECT_TRUE(std::equal(std::begin(read), std::end(read), std::begin(written)));
}

TEST_F(IoTest, AFailedReadLeavesTheBufferAsItWas) {
    io[0] = 0x11;
    unsigned char bytes[2] = {0xEE, 0xEE};
    instrument.Faults().silent = true;
    EXPECT_EQ(Korvi70_PodWeWy(5, 0, 2, bytes), 3);
    instrument.Faults().silent = false;
    instrument.Faults().cutAfter = 6;  // lead-in, address and the first byte only
    EXPECT_EQ(Korvi70_PodWeWy(5, 0, 2, bytes), 3);
    EXPECT_EQ(bytes[0], 0xEE);
    EXPECT_EQ(bytes[1], 0xEE);
}

}  // namespace
}  // namespace korvi70_test
