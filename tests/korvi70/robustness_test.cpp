// Untrusted bytes: random replies on the serial and TCP paths and random
// lines of the configuration file never crash, never read or write outside
// their buffers (the sanitizers watch), and never leave a setting out of
// its range.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>

#include "korvi70/config.h"
#include "korvi70/legacy.h"
#include "korvi70/link.h"
#include "korvi70/transaction.h"
#include "link_fixture.h"

namespace korvi70_test {
namespace {

// Mostly frame-like bytes, so that the reader gets past the early checks.
std::string RandomReply(std::mt19937 &rng) {
    static const char kAlphabet[] = "0123456789ABCDEFabcdef71\x00\x01\xFF";
    std::uniform_int_distribution<int> length(0, 40), pick(0, sizeof kAlphabet - 2), any(0, 255), coin(0, 9);
    std::string reply = Bytes({0x00}) + (coin(rng) < 5 ? "710029" : "");
    const int n = length(rng);
    for (int i = 0; i < n; ++i) reply.push_back(coin(rng) == 0 ? static_cast<char>(any(rng)) : kAlphabet[pick(rng)]);
    return reply;
}

class RandomSerialReplies : public SimLinkTest {};

TEST_F(RandomSerialReplies, NeverCrashAndNeverSucceedWithoutAValidFrame) {
    instrument.Faults().silent = true;
    Korvi70_CzasOczekiwaniaRS = 0.001;
    Korvi70_ZamZlacze();
    ASSERT_EQ(Korvi70_IniZlacze(0), 0);
    std::mt19937 rng(1234);
    static constexpr int kWidths[] = {4, 2};
    for (int round = 0; round < 300; ++round) {
        UseTransactions({0x29});
        korvi70::HexRequest request;
        ASSERT_EQ(korvi70::SendRequest(request, 0, 3, {}), 0);
        const std::string reply = RandomReply(rng);
        device.inner.Line().Output().Add(reply, 0, 0);
        int blocks = 0;
        const int rc = korvi70::ReceiveReply(request, kWidths, [&](int, std::string_view chars) {
            EXPECT_LE(chars.size(), 4u);
            ++blocks;
            return true;
        });
        if (rc == 0) {
            EXPECT_EQ(blocks, 2) << reply;
        }
        EXPECT_NE(rc, 1);
    }
}

// Answers each frame's terminator with the next scripted reply.
class ScriptedLine : public platform::ComDevice {
public:
    std::string next;
    void Write(const unsigned char *data, std::size_t count) override {
        if (std::memchr(data, 0x01, count) != nullptr) queued_ += next;
    }
    std::size_t Read(unsigned char *data, std::size_t count, double) override {
        const std::size_t n = std::min(count, queued_.size());
        std::memcpy(data, queued_.data(), n);
        queued_.erase(0, n);
        return n;
    }
    std::size_t Available() override { return queued_.size(); }
    void DiscardInput() override { queued_.clear(); }

private:
    std::string queued_;
};

TEST_F(RandomSerialReplies, LegacyRepliesToo) {
    Korvi70_ZamZlacze();
    ScriptedLine line;
    platform::AttachComDevice(kPort, &line);
    Korvi70_CzasOczekiwaniaRS = 0.001;
    ASSERT_EQ(Korvi70_IniZlacze(0), 0);
    std::mt19937 rng(99);
    int done = 0;
    for (int round = 0; round < 300; ++round) {
        line.next = round % 10 == 0 ? Bytes({0x00, 0x05}) + "A1B2C3" + Bytes({0x88, 0x01}) : RandomReply(rng);
        char reply[8];
        std::memset(reply, 'q', sizeof reply);
        const int rc =
            korvi70::RunLegacy(5, 'F', "000003", korvi70::LegacyOrder::TerminatorNoFlush, std::span<char>(reply, 7));
        EXPECT_TRUE(rc == 0 || rc == 3) << rc;
        EXPECT_EQ(reply[7], 'q');  // nothing written past the span
        if (rc == 0) ++done;
    }
    EXPECT_GE(done, 30);
    Korvi70_ZamZlacze();
    platform::AttachComDevice(kPort, &device);
    Korvi70_CzasOczekiwaniaRS = 0.05;
    ASSERT_EQ(Korvi70_IniZlacze(0), 0);
}

TEST(RandomTcpReplies, ReadFromTheReceiveBufferStayInside) {
    ResetLinkState();
    Korvi70_TypLacza = Korvi70_PolaczeniePrzezKorviTCP;
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> length(0, Korvi70_TCP_RozmiarBufora);
    static constexpr int kWidths[] = {8, 17, 4};
    for (int round = 0; round < 300; ++round) {
        const std::string payload = RandomReply(rng).substr(1) + std::string(round % 3 == 0 ? length(rng) : 0, '7');
        const int n = static_cast<int>(std::min<std::size_t>(payload.size(), Korvi70_TCP_RozmiarBufora));
        Korvi70_TCP_BuforOdb[0] = 0x00;
        std::memcpy(Korvi70_TCP_BuforOdb + 1, payload.data(), static_cast<std::size_t>(n));
        Korvi70_TCP_BuforOdb[n + 1] = 0x01;
        Korvi70_TCP_DlugoscOdb = n + 2;
        Korvi70_TCP_PozycjaOdb = 0;
        Korvi70_BladLacza = 0;
        korvi70::HexRequest request;
        request.transaction = 0x29;
        std::strcpy(request.text.data(), "007129030E");
        const int rc = korvi70::ReceiveReply(request, kWidths, [](int, std::string_view) { return true; });
        EXPECT_NE(rc, 1);
        EXPECT_LE(Korvi70_TCP_PozycjaOdb, Korvi70_TCP_DlugoscOdb);
    }
    ResetLinkState();
}

TEST(RandomConfigLines, SettingsStayInTheirRanges) {
    ResetLinkState();
    std::mt19937 rng(5);
    static const char *kKeys[] = {"NazwaZbioruZGrafika", "TypLacza",   "NrZlaczaRS",           "NrIdProg",
                                  "CzasOczekiwaniaRS",   "NrPortuTCP", "NazwaServeraKorviTCP", "TCPIP_TimeOut",
                                  "CzyPytacOPolaczenie"};
    std::uniform_int_distribution<int> key(0, 8), byte(1, 255), length(0, 700);
    for (int round = 0; round < 2000; ++round) {
        std::string value;
        const int n = length(rng);
        for (int i = 0; i < n; ++i) value.push_back(static_cast<char>(byte(rng)));
        korvi70::ApplyConfigLine(std::string("#") + kKeys[key(rng)] + " " + value);
        ASSERT_GE(Korvi70_NrZlacza, 1);
        ASSERT_LE(Korvi70_NrZlacza, 100);
        ASSERT_LE(Korvi70_TypLacza, 2);
        ASSERT_GE(Korvi70_CzasOczekiwaniaRS, 0.05);
        ASSERT_LE(Korvi70_CzasOczekiwaniaRS, 5.0);
        ASSERT_GE(Korvi70_TCPIP_TimeOut, 5.0);
        ASSERT_LT(std::strlen(Korvi70_NazwaServeraKorviTCP), sizeof Korvi70_NazwaServeraKorviTCP);
        ASSERT_LT(std::strlen(Korvi70_NazwaZbioruZGrafika), sizeof Korvi70_NazwaZbioruZGrafika);
    }
    ResetLinkState();
}

}  // namespace
}  // namespace korvi70_test
