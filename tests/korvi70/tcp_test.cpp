// The TCP envelope against the simulated gateway on loopback.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "korvi70/config.h"
#include "korvi70/frame_hex.h"
#include "korvi70/io.h"
#include "korvi70/link.h"
#include "korvi70/password.h"
#include "korvi70/tcp_client.h"
#include "korvi70/traffic.h"
#include "korvi70/transaction.h"
#include "link_fixture.h"
#include "platform/system.h"
#include "sim/tcp_server.h"
#include "tests/support/free_port.h"
#include "ui/headless.h"

namespace korvi70_test {
namespace {

constexpr int kTypeWidth[] = {4};

class TcpTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetLinkState();
        ui::headless::Install();
        const int port = server.Listen(0);
        ASSERT_GT(port, 0);
        server.Start();
        Korvi70_TypLacza = Korvi70_PolaczeniePrzezKorviTCP;
        Korvi70_NrPortuTCP = port;
        Korvi70_TCPIP_TimeOut = 100;
        ASSERT_EQ(Korvi70_IniZlacze(0), 0);
    }
    void TearDown() override {
        Korvi70_ZamZlacze();
        server.Stop();
        ResetLinkState();
    }

    int Identify(unsigned *type) {
        return korvi70::RunTransaction(0, 3, {}, kTypeWidth,
                                       [&](int, std::string_view d) { return korvi70::ParseHex(d, type); });
    }
    template <class F>
    void Gateway(F &&change) {
        server.Locked([&](sim::GatewayFaults &faults, sim::Instrument &, sim::GatewayCounters &) { change(faults); });
    }
    sim::GatewayCounters Counters() {
        return server.Locked([](sim::GatewayFaults &, sim::Instrument &, sim::GatewayCounters &c) { return c; });
    }

    sim::Instrument instrument;
    sim::GatewayServer server{instrument};
};

TEST_F(TcpTest, IdentifyTravelsInAnEnvelopeWithoutThePreamble) {
    UseTransactions({0x29});
    unsigned type = 0;
    EXPECT_EQ(Identify(&type), 0);
    EXPECT_EQ(type, 0x1B0u);
    const sim::GatewayCounters c = Counters();
    EXPECT_EQ(c.envelopes, 1);
    EXPECT_EQ(c.skippedBytes, 0);  // nothing came ahead of the 'b'
    EXPECT_EQ(c.lastPayload, "007129030E");
}

TEST_F(TcpTest, LegacyFramesWorkOverTheGatewayToo) {
    EXPECT_EQ(Korvi70_PodajeHaslo(5), 0);
    EXPECT_EQ(Counters().lastPayload, Bytes({0x05, 0x44}) + "VelmoKarn" + Bytes({0x8C}));
    EXPECT_EQ(Korvi70_KasujHaslo(5), 0);
}

TEST_F(TcpTest, AnErrorFromTheServerLeavesItsCodeAndGivesTwo) {
    Gateway([](sim::GatewayFaults &f) { f.errorCode = 0x0010; });
    unsigned type = 0;
    EXPECT_EQ(Identify(&type), 2);
    EXPECT_EQ(Korvi70_BladLacza, 16);
}

TEST_F(TcpTest, NoReplyWithinTwoSecondsGivesMinus99AndTwo) {
    Gateway([](sim::GatewayFaults &f) { f.silent = true; });
    unsigned type = 0;
    const double start = platform::Timer();
    EXPECT_EQ(Identify(&type), 2);
    const double waited = platform::Timer() - start;
    EXPECT_EQ(Korvi70_BladLacza, Korvi70_BladCzasu);
    EXPECT_GE(waited, 1.95);
    EXPECT_LT(waited, 2.5);
}

TEST_F(TcpTest, AReplyAfterItsWindowIsNotTakenForTheNextRequest) {
    UseTransactions({0x11, 0x22, 0x33});
    Gateway([](sim::GatewayFaults &f) { f.delay = 2.4; });
    unsigned type = 0;
    EXPECT_EQ(Identify(&type), 2);
    Gateway([](sim::GatewayFaults &f) { f.delay = 0; });
    // The late reply to 0x11 comes during this request's window.
    type = 0;
    EXPECT_EQ(Identify(&type), 0);
    EXPECT_EQ(type, 0x1B0u);
    EXPECT_EQ(Identify(&type), 0);
}

TEST_F(TcpTest, AWindowThatSawOnlyReplyWithAnotherNumberGivesThreeAsOnASerialLine) {
    server.Locked(
        [](sim::GatewayFaults &, sim::Instrument &i, sim::GatewayCounters &) { i.Faults().wrongTransaction = true; });
    unsigned type = 0;
    const double start = platform::Timer();
    EXPECT_EQ(Identify(&type), 3);
    EXPECT_EQ(Korvi70_BladLacza, 0);
    // The whole window was given to the right answer, which might have followed.
    EXPECT_GE(platform::Timer() - start, 1.95);
}

TEST_F(TcpTest, IoReadAndWriteToAnAddressThatIsAHexDigitCharacter) {
    // Address 0x41 is 'A': the read request's first six bytes, "AF0100",
    // read like the header of a hex frame, yet the frame carries no number.
    server.Locked([](sim::GatewayFaults &, sim::Instrument &i, sim::GatewayCounters &) { i.State().id = 0x41; });
    const unsigned char written[] = {0x12, 0x34, 0x56};
    ASSERT_EQ(Korvi70_ZapWeWy(0x41, 0x0100, 3, written), 0);
    EXPECT_EQ(Counters().lastPayload, "AG010003123456" + Bytes({0x8F}));
    unsigned char read[3] = {};
    ASSERT_EQ(Korvi70_PodWeWy(0x41, 0x0100, 3, read), 0);
    EXPECT_EQ(Counters().lastPayload, "AF010003" + Bytes({0x89}));
    EXPECT_TRUE(std::equal(std::begin(read), std::end(read), std::begin(written)));
}

TEST_F(TcpTest, TheTrafficSeenIsTheEnvelopesOnTheSocket) {
    static std::string sent, received;
    sent.clear();
    received.clear();
    const auto previous =
        korvi70::SetTrafficObserver([](korvi70::TrafficDirection direction, const unsigned char *bytes, int count) {
            (direction == korvi70::TrafficDirection::Sent ? sent : received)
                .append(reinterpret_cast<const char *>(bytes), static_cast<std::size_t>(count));
        });
    UseTransactions({0x29});
    unsigned type = 0;
    EXPECT_EQ(Identify(&type), 0);
    korvi70::SetTrafficObserver(previous);
    EXPECT_EQ(sent, "b000A007129030E");  // no preamble, no terminator: they never reach the socket
    EXPECT_EQ(received, "b000E7100290001B07E");
}

TEST_F(TcpTest, ALateReplyWaitingUnreadIsDiscardedByTheNextFlush) {
    UseTransactions({0x11, 0x22});
    Gateway([](sim::GatewayFaults &f) { f.delay = 2.1; });
    unsigned type = 0;
    EXPECT_EQ(Identify(&type), 2);
    Gateway([](sim::GatewayFaults &f) { f.delay = 0; });
    platform::Delay(0.4);  // the late reply is in by now
    EXPECT_EQ(Identify(&type), 0);
    EXPECT_EQ(type, 0x1B0u);
}

TEST_F(TcpTest, ALateLegacyReplyIsDiscardedByTheFlushToo) {
    Gateway([](sim::GatewayFaults &f) { f.delay = 2.1; });
    EXPECT_EQ(Korvi70_PodajeHaslo(5), 3);
    Gateway([](sim::GatewayFaults &f) {
        f.silent = true;
        f.delay = 0;
    });
    platform::Delay(0.4);
    EXPECT_EQ(Korvi70_PodajeHaslo(5), 3) << "the late 'D' reply must not answer this request";
}

TEST_F(TcpTest, AnOversizedLengthIsCutAndTheStreamRecovers) {
    UseTransactions({0x29});
    Gateway([](sim::GatewayFaults &f) { f.rawReply = "bFFFF71002900" + std::string(3000, 'Z'); });
    unsigned type = 0;
    EXPECT_EQ(Identify(&type), 3);
    EXPECT_EQ(Korvi70_TCP_DlugoscOdb, 1026);
    Gateway([](sim::GatewayFaults &f) { f.rawReply.clear(); });
    EXPECT_EQ(Identify(&type), 0);
}

TEST_F(TcpTest, APayloadShorterThanItsLengthIsTakenAsItCame) {
    UseTransactions({0x29});
    Gateway([](sim::GatewayFaults &f) { f.rawReply = "b001071002900"; });
    unsigned type = 0;
    EXPECT_EQ(Identify(&type), 3);  // the header is there, the data is not
    EXPECT_EQ(Korvi70_BladLacza, Korvi70_BladCzasu);
}

TEST_F(TcpTest, ALengthThatIsNotHexIsNoEnvelope) {
    Gateway([](sim::GatewayFaults &f) { f.rawReply = "bZZ1071002900"; });
    unsigned type = 0;
    EXPECT_EQ(Identify(&type), 2);
    EXPECT_EQ(Korvi70_BladLacza, Korvi70_BladCzasu);
    Gateway([](sim::GatewayFaults &f) { f.rawReply.clear(); });
    EXPECT_EQ(Identify(&type), 0);
}

TEST_F(TcpTest, AnErrorEnvelopeWithoutItsCodeStillFails) {
    Gateway([](sim::GatewayFaults &f) { f.rawReply = "c000200"; });
    unsigned type = 0;
    EXPECT_EQ(Identify(&type), 2);
    EXPECT_NE(Korvi70_BladLacza, 0);
}

TEST_F(TcpTest, AFailedCommandAtTheInstrumentBehindTheGateway) {
    server.Locked([](sim::GatewayFaults &, sim::Instrument &i, sim::GatewayCounters &) { i.Faults().status = 5; });
    unsigned type = 0;
    EXPECT_EQ(Identify(&type), 5);
    server.Locked([](sim::GatewayFaults &, sim::Instrument &i, sim::GatewayCounters &) {
        i.Faults().wrongCheck = true;
        i.Faults().status = 0;
    });
    EXPECT_EQ(Identify(&type), 3);
}

TEST_F(TcpTest, AServerThatCannotBeReachedIsReportedWithAPopup) {
    Korvi70_ZamZlacze();
    Korvi70_NrPortuTCP = testsupport::FreePort();
    ui::headless::ExpectMessage("Wystapił błąd.");
    EXPECT_EQ(Korvi70_IniZlacze(0), -1);
    ASSERT_EQ(ui::headless::Popups().size(), 1u);
    EXPECT_EQ(ui::headless::Popups()[0].request.message, "Brak połączenia ze serverem Korvi70.");
    EXPECT_TRUE(ui::headless::Failures().empty());
    EXPECT_EQ(Korvi70_TCP_Polaczony, 0);
    unsigned type = 0;
    EXPECT_EQ(Identify(&type), 2);
}

TEST_F(TcpTest, OpeningAgainLetsGoOfTheOldConversation) {
    ASSERT_EQ(Korvi70_IniZlacze(0), 0);
    unsigned type = 0;
    EXPECT_EQ(Identify(&type), 0);
    EXPECT_EQ(Korvi70_ZamZlacze(), 0);
    EXPECT_EQ(Korvi70_TCP_Polaczony, 0);
    EXPECT_EQ(Korvi70_ZamZlacze(), 0);
}

}  // namespace
}  // namespace korvi70_test
