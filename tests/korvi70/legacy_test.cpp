// The legacy binary frame: no-operation, password, clear password and the
// I/O frames through the generic helper.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "korvi70/legacy.h"
#include "korvi70/link.h"
#include "korvi70/password.h"
#include "link_fixture.h"

namespace korvi70_test {
namespace {

using korvi70::LegacyOrder;
using korvi70::RunLegacy;

class LegacyTest : public SimLinkTest {};

TEST_F(LegacyTest, NoOperationToAddressFiveIsByteExact) {
    EXPECT_EQ(RunLegacy(5, 'H', {}, LegacyOrder::TerminatorThenFlush), 0);
    EXPECT_EQ(device.written, Bytes({0xFF, 0xFF, 0x00, 0x05, 0x48, 0x83, 0x01}));
    EXPECT_EQ(device.writes, std::vector<std::size_t>{7}) << "the request leaves in one write";
    EXPECT_EQ(instrument.Process(device.written), Bytes({0xFF, 0xFF, 0x00, 0x05, 0x82, 0x01}));
}

TEST_F(LegacyTest, AReplyFromAnotherAddressOrWithAWrongLengthGivesThree) {
    instrument.State().id = 6;
    EXPECT_EQ(RunLegacy(5, 'H', {}, LegacyOrder::TerminatorThenFlush), 3);  // nobody answers
    instrument.State().id = 5;
    instrument.Faults().wrongCheck = true;  // the reply's length byte is one bit off
    EXPECT_EQ(RunLegacy(5, 'H', {}, LegacyOrder::TerminatorThenFlush), 3);
    instrument.Faults().wrongCheck = false;
    instrument.Faults().cutAfter = 5;  // no terminator
    EXPECT_EQ(RunLegacy(5, 'H', {}, LegacyOrder::TerminatorThenFlush), 3);
}

TEST_F(LegacyTest, PasswordFramesAreByteExactAndReachTheInstrument) {
    EXPECT_EQ(Korvi70_PodajeHaslo(5), 0);
    EXPECT_EQ(device.written, Bytes({0xFF, 0xFF, 0x00, 0x05, 0x44}) + "VelmoKarn" + Bytes({0x8C, 0x01}));
    EXPECT_TRUE(instrument.State().passwordGiven);

    device.written.clear();
    EXPECT_EQ(Korvi70_KasujHaslo(5), 0);
    EXPECT_EQ(device.written, Bytes({0xFF, 0xFF, 0x00, 0x05, 0x45, 0x83, 0x01}));
    EXPECT_FALSE(instrument.State().passwordGiven);
}

TEST_F(LegacyTest, PasswordAddressesOutOfRangeSendNothing) {
    for (int address : {-1, 0, 1, 256}) {
        EXPECT_EQ(Korvi70_PodajeHaslo(address), 1) << address;
        EXPECT_EQ(Korvi70_KasujHaslo(address), 1) << address;
    }
    EXPECT_TRUE(device.written.empty());
    instrument.State().id = 255;
    EXPECT_EQ(Korvi70_PodajeHaslo(255), 0);
    instrument.State().id = 2;
    EXPECT_EQ(Korvi70_KasujHaslo(2), 0);
}

TEST_F(LegacyTest, PasswordWithoutAnAnswerGivesThree) {
    instrument.Faults().silent = true;
    EXPECT_EQ(Korvi70_PodajeHaslo(5), 3);
    EXPECT_EQ(Korvi70_KasujHaslo(5), 3);
}

TEST_F(LegacyTest, OnAnEchoingLineTheEchoIsFlushedBeforeTheReply) {
    instrument.Faults().echo = true;
    Reopen();
    ASSERT_EQ(Korvi70_JestEcho, 1);
    EXPECT_EQ(Korvi70_PodajeHaslo(5), 0);
    EXPECT_EQ(RunLegacy(5, 'H', {}, LegacyOrder::TerminatorThenFlush), 0);
}

TEST_F(LegacyTest, ReadIoSendsStartAndCountAndParsesTheBytes) {
    instrument.State().io[0x100] = 0xAB;
    instrument.State().io[0x101] = 0x01;
    instrument.State().io[0x102] = 0x7F;
    std::array<char, 7> reply{};
    EXPECT_EQ(RunLegacy(5, 'F', "010003", LegacyOrder::TerminatorNoFlush, reply), 0);
    EXPECT_EQ(device.written, Bytes({0xFF, 0xFF, 0x00, 0x05, 0x46}) + "010003" + Bytes({0x89, 0x01}));
    EXPECT_STREQ(reply.data(), "AB017F");
    // The instrument's reply carries the length byte 0x82 + 6.
    EXPECT_EQ(instrument.Process(device.written).substr(4), "AB017F" + Bytes({0x88, 0x01}));
}

TEST_F(LegacyTest, WriteIoFlushesTheEchoAndThenEndsTheFrame) {
    EXPECT_EQ(RunLegacy(5, 'G', "010002AB01", LegacyOrder::FlushThenTerminator), 0);
    EXPECT_EQ(device.written, Bytes({0xFF, 0xFF, 0x00, 0x05, 0x47}) + "010002AB01" + Bytes({0x8D, 0x01}));
    // The frame leaves before the wait for it to be sent; the terminator after the flush.
    EXPECT_EQ(device.writes, (std::vector<std::size_t>{16, 1}));
    EXPECT_EQ(instrument.State().io[0x100], 0xAB);
    EXPECT_EQ(instrument.State().io[0x101], 0x01);
}

TEST_F(LegacyTest, ReadIoOnAnEchoingLineTakesTheEchoOffInsteadOfReadingItAsTheReply) {
    // The read frame flushes nothing after its terminator; its echo, which
    // has a 0x00 and the address byte of its own, comes ahead of the reply.
    instrument.Faults().echo = true;
    Reopen();
    instrument.State().io[0] = 0x3C;
    std::array<char, 3> reply{};
    EXPECT_EQ(RunLegacy(5, 'F', "000001", LegacyOrder::TerminatorNoFlush, reply), 0);
    EXPECT_STREQ(reply.data(), "3C");
}

TEST_F(LegacyTest, AReplyLongerThanAByteCanSayNeverMatches) {
    // 63 bytes: the reply's length byte would have to be 0x82 + 126 = 0x100.
    std::array<char, 127> reply{};
    EXPECT_EQ(RunLegacy(5, 'F', "00003F", LegacyOrder::TerminatorNoFlush, reply), 3);
}

}  // namespace
}  // namespace korvi70_test
