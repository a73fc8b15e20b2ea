// The link primitives of the modem and TCP types on their own buffers, and
// the serial primitives' clearing of the destination.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "korvi70/frame.h"
#include "korvi70/link.h"
#include "korvi70/tcp_client.h"
#include "link_fixture.h"

namespace korvi70_test {
namespace {

class PrimitivesTest : public ::testing::Test {
protected:
    void SetUp() override { ResetLinkState(); }
    void TearDown() override { ResetLinkState(); }

    // A reply as the TCP exchange leaves it: 0x00, payload, 0x01.
    static void PutReply(const std::string &payload) {
        Korvi70_TCP_BuforOdb[0] = 0x00;
        std::memcpy(Korvi70_TCP_BuforOdb + 1, payload.data(), payload.size());
        Korvi70_TCP_BuforOdb[payload.size() + 1] = 0x01;
        Korvi70_TCP_DlugoscOdb = static_cast<int>(payload.size()) + 2;
        Korvi70_TCP_PozycjaOdb = 0;
        Korvi70_BladLacza = 0;
    }
};

TEST_F(PrimitivesTest, TheModemTypeTransfersNothingAndLeavesTheErrorAlone) {
    Korvi70_TypLacza = Korvi70_PolaczeniePrzezModem;
    Korvi70_BladLacza = -7;
    char buffer[8];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(Korvi70_ComWrt("abc", 3), 3);
    EXPECT_EQ(Korvi70_ComWrtByte(0x41), 0);
    EXPECT_EQ(Korvi70_ComRd(buffer, 4), 0);
    EXPECT_EQ(std::string(buffer, 6), std::string(5, '\0') + "x");  // cleared over count + 1
    EXPECT_EQ(Korvi70_ComRdByte(), 0);
    EXPECT_EQ(Korvi70_ComRdTerm(buffer, 4, 0x0D), 0);
    EXPECT_EQ(Korvi70_FlushInQ(), 0);
    EXPECT_EQ(Korvi70_FlushOutQ(), 0);
    EXPECT_EQ(Korvi70_GetInQLen(), 0);
    EXPECT_EQ(Korvi70_GetOutQLen(), 0);
    EXPECT_EQ(Korvi70_BladLacza, -7);
}

TEST_F(PrimitivesTest, TcpWritesFillTheEnvelopeAndThePreambleVanishes) {
    Korvi70_TypLacza = Korvi70_PolaczeniePrzezKorviTCP;
    EXPECT_EQ(Korvi70_ComWrtByte(0xFF), 1);
    EXPECT_EQ(Korvi70_ComWrtByte(0xFF), 1);
    EXPECT_EQ(Korvi70_TCP_IleNad, 7);
    EXPECT_EQ(Korvi70_ComWrtByte(0x00), 1);
    EXPECT_EQ(Korvi70_TCP_IleNad, 5);
    EXPECT_EQ(Korvi70_ComWrt("00712903", 8), 8);
    EXPECT_EQ(std::string(reinterpret_cast<char *>(Korvi70_TCP_BuforNad) + 5, 8), "00712903");
    Korvi70_FlushOutQ();
    EXPECT_EQ(Korvi70_TCP_IleNad, 5);
    EXPECT_EQ(Korvi70_BladLacza, 0);
}

TEST_F(PrimitivesTest, AFullTcpTransmitBufferDropsTheRest) {
    Korvi70_TypLacza = Korvi70_PolaczeniePrzezKorviTCP;
    const std::string big(2000, 'A');
    EXPECT_EQ(Korvi70_ComWrt(big.data(), 2000), 1023 - 5);
    EXPECT_EQ(Korvi70_TCP_IleNad, 1023);
    EXPECT_EQ(Korvi70_ComWrt("B", 1), 0);
    EXPECT_EQ(Korvi70_ComWrtByte('B'), 0);
    EXPECT_EQ(Korvi70_TCP_IleNad, 1023);
    EXPECT_EQ(Korvi70_ComWrt("B", -3), 0);
    // A count gone wrong elsewhere cannot make a write leave the buffer.
    Korvi70_TCP_IleNad = 5000;
    EXPECT_EQ(Korvi70_ComWrt("B", 1), 0);
    Korvi70_TCP_IleNad = -40;
    EXPECT_EQ(Korvi70_ComWrt("B", 1), 1);
    EXPECT_EQ(Korvi70_TCP_BuforNad[5], 'B');
}

TEST_F(PrimitivesTest, TcpReadsTakeTheReplyAndStopAtItsEnd) {
    Korvi70_TypLacza = Korvi70_PolaczeniePrzezKorviTCP;
    PutReply("71002900");
    EXPECT_EQ(Korvi70_ComRdByte(), 0x00);
    char chars[3];
    EXPECT_EQ(Korvi70_ComRd(chars, 2), 2);
    EXPECT_STREQ(chars, "71");
    char rest[16];
    EXPECT_EQ(Korvi70_ComRd(rest, 10), 6);  // the synthesised terminator is not taken by a block read
    EXPECT_STREQ(rest, "002900");
    EXPECT_EQ(Korvi70_BladLacza, Korvi70_BladCzasu);
    Korvi70_BladLacza = 0;
    EXPECT_EQ(Korvi70_ComRdByte(), 0x01);
    EXPECT_EQ(Korvi70_ComRdByte(), Korvi70_BladCzasu);  // past the end of the reply
    EXPECT_EQ(Korvi70_BladLacza, Korvi70_BladCzasu);
    EXPECT_EQ(Korvi70_ComRdByte(), 0);  // the error stays until someone clears it
}

TEST_F(PrimitivesTest, TcpReadsAfterAnErrorReturnNothing) {
    Korvi70_TypLacza = Korvi70_PolaczeniePrzezKorviTCP;
    PutReply("71002900");
    Korvi70_BladLacza = 16;
    char chars[3] = {'a', 'b', 'c'};
    EXPECT_EQ(Korvi70_ComRd(chars, 2), 0);
    EXPECT_EQ(std::string(chars, 3), std::string(3, '\0'));
    EXPECT_EQ(Korvi70_ComRdByte(), 0);
    EXPECT_EQ(Korvi70_TCP_PozycjaOdb, 0);
}

TEST_F(PrimitivesTest, TcpReadsStayInsideTheBufferWhateverTheStateSays) {
    Korvi70_TypLacza = Korvi70_PolaczeniePrzezKorviTCP;
    Korvi70_TCP_DlugoscOdb = 1 << 20;
    Korvi70_TCP_PozycjaOdb = 1020;
    char out[64];
    EXPECT_LE(Korvi70_ComRd(out, 60), 5);
    Korvi70_BladLacza = 0;
    Korvi70_TCP_PozycjaOdb = 5000;
    EXPECT_EQ(Korvi70_ComRdByte(), Korvi70_BladCzasu);
    Korvi70_BladLacza = 0;
    Korvi70_TCP_PozycjaOdb = -8;
    Korvi70_TCP_DlugoscOdb = 4;
    EXPECT_EQ(Korvi70_ComRd(out, 60), 3);
}

TEST_F(PrimitivesTest, TcpReadToTerminatorCopiesTheTextBeforeIt) {
    Korvi70_TypLacza = Korvi70_PolaczeniePrzezKorviTCP;
    PutReply("OK\rMORE");
    Korvi70_TCP_PozycjaOdb = 1;
    char text[16] = {};
    EXPECT_EQ(Korvi70_ComRdTerm(text, 10, '\r'), 0);
    EXPECT_STREQ(text, "OK");
    EXPECT_EQ(Korvi70_TCP_PozycjaOdb, 4);
    char more[16] = {};
    EXPECT_EQ(Korvi70_ComRdTerm(more, 10, '\r'), 0);  // no terminator left in reach
    EXPECT_EQ(std::string(more), std::string("MORE\x01"));
    EXPECT_EQ(Korvi70_BladLacza, Korvi70_BladCzasu);
}

TEST_F(PrimitivesTest, WithoutAConversationTheExchangeFailsAsATimeOut) {
    Korvi70_TypLacza = Korvi70_PolaczeniePrzezKorviTCP;
    EXPECT_EQ(Korvi70_ComWrtByte(0x01), -1);
    EXPECT_EQ(Korvi70_BladLacza, Korvi70_BladCzasu);
}

TEST_F(PrimitivesTest, StaleHexRepliesAreToldFromAnswersByTheNumberTheRequestExpects) {
    const auto may = [](int expected, const std::string &reply) {
        return korvi70::TcpReplyMayAnswer(expected, reinterpret_cast<const unsigned char *>(reply.data()),
                                          static_cast<int>(reply.size()));
    };
    EXPECT_TRUE(may(0x29, "710029000001B07E"));
    EXPECT_TRUE(may(0x2B, "71002b00"));   // either letter case
    EXPECT_FALSE(may(0x2A, "71002900"));  // an earlier request's reply
    EXPECT_TRUE(may(-1, "A12345"));       // a legacy frame expects no number, whatever its bytes look like
    EXPECT_TRUE(may(0x2A, "7100"));       // too short to tell
}

TEST_F(PrimitivesTest, EveryPreambleClearsTheTransactionAHexFrameExpects) {
    Korvi70_TypLacza = Korvi70_PolaczeniePrzezKorviTCP;
    char text[16];
    ASSERT_EQ(Korvi70_UtworzIWyslijStalaCzesc1Rozkazu(0, 0x129, 3, text), 0);
    EXPECT_EQ(korvi70::ExpectedReplyTransaction(), 0x29);
    Korvi70_ComWrtByte(0xFF);
    EXPECT_EQ(korvi70::ExpectedReplyTransaction(), 0x29);
    Korvi70_ComWrtByte(0x00);
    EXPECT_EQ(korvi70::ExpectedReplyTransaction(), -1);
}

}  // namespace
}  // namespace korvi70_test
