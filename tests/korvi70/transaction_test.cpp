// The hex-frame command transaction against the simulated instrument.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "korvi70/frame.h"
#include "korvi70/held_frame.h"
#include "korvi70/link.h"
#include "korvi70/transaction.h"
#include "link_fixture.h"

namespace korvi70_test {
namespace {

constexpr int kTypeWidth[] = {4};

class TransactionTest : public SimLinkTest {
protected:
    // Identify (command 3) to ID 0; the type code through *type.
    int Identify(unsigned *type, std::vector<std::string> *blocks = nullptr) {
        return korvi70::RunTransaction(0, 3, {}, kTypeWidth, [&](int, std::string_view digits) {
            if (blocks) blocks->emplace_back(digits);
            return korvi70::ParseHex(digits, type);
        });
    }
};

TEST_F(TransactionTest, IdentifyRequestAndReplyAreByteExact) {
    UseTransactions({0x29});
    unsigned type = 0;
    ASSERT_EQ(Identify(&type), 0);
    EXPECT_EQ(device.written, Bytes({0xFF, 0xFF, 0x00}) + "00712903" + "0E" + Bytes({0x01}));
    EXPECT_EQ(device.writes, std::vector<std::size_t>{device.written.size()}) << "the request leaves in one write";
    EXPECT_EQ(type, 0x1B0u);
    // The instrument's side: the same request again gives the reply it sent.
    EXPECT_EQ(instrument.Process(device.written),
              Bytes({0xFF, 0xFF, 0x00}) + "71002900" + "01B0" + "7E" + Bytes({0x01}));
}

TEST_F(TransactionTest, HexDigitsAreUpperCaseOnTheWireAndEitherCaseIsRead) {
    UseTransactions({0xAB});
    instrument.State().typeCode = 0xBEEF;
    unsigned type = 0;
    ASSERT_EQ(korvi70::RunTransaction(0, 0x8C, "ff", kTypeWidth,
                                      [&](int, std::string_view d) { return korvi70::ParseHex(d, &type); }),
              3);  // the instrument has no command 0x8C and stays silent
    EXPECT_EQ(device.written.substr(3, 8), "0071AB8C");
    EXPECT_EQ(device.written.substr(11, 2), "ff");  // data characters go as the command gives them

    // A reply in lower case is accepted: feed one by hand through the link.
    std::string lower = "71002900beef";
    unsigned char x = 0;
    for (char c : lower) x ^= static_cast<unsigned char>(c);
    static const char kHex[] = "0123456789abcdef";
    lower += kHex[x >> 4];
    lower += kHex[x & 15];
    UseTransactions({0x29});
    instrument.Faults().silent = true;
    korvi70::HexRequest request;
    ASSERT_EQ(korvi70::SendRequest(request, 0, 3, {}), 0);
    device.inner.Line().Output().Add(Bytes({0xFF, 0x00}) + lower + Bytes({0x01}), 0, 0);
    ASSERT_EQ(korvi70::ReceiveReply(request, kTypeWidth,
                                    [&](int, std::string_view d) { return korvi70::ParseHex(d, &type); }),
              0);
    EXPECT_EQ(type, 0xBEEFu);
}

TEST_F(TransactionTest, RequestDataIsCoveredByTheCheck) {
    UseTransactions({0x10});
    instrument.Faults().silent = true;
    EXPECT_EQ(korvi70::RunTransaction(5, 0x82, "45"), 3);
    const std::string text =
        "057110824"
        "5";
    unsigned char x = 0;
    for (char c : text) x ^= static_cast<unsigned char>(c);
    char check[3];
    snprintf(check, sizeof check, "%02X", x);
    EXPECT_EQ(device.written, Bytes({0xFF, 0xFF, 0x00}) + text + check + Bytes({0x01}));
    EXPECT_EQ(instrument.Counters().lastCommand, 0x82);  // the instrument saw a frame with a good check
}

TEST_F(TransactionTest, EveryBlockIsHandedOverInOrderBeforeTheCheckIsVerified) {
    instrument.Faults().wrongCheck = true;
    std::vector<std::string> blocks;
    unsigned type = 0;
    EXPECT_EQ(Identify(&type, &blocks), 3);
    EXPECT_EQ(blocks, std::vector<std::string>{"01B0"});
    EXPECT_EQ(type, 0x1B0u);  // stored, though the result says it is not valid
}

TEST_F(TransactionTest, SeveralReplyFieldsArriveOneByOne) {
    // A reply of 2 + 2 + 4 characters, read as three blocks.
    instrument.State().typeCode = 0x1234;
    static constexpr int kWidths[] = {2, 2};
    std::vector<std::string> blocks;
    EXPECT_EQ(korvi70::RunTransaction(0, 3, {}, kWidths,
                                      [&](int index, std::string_view d) {
                                          EXPECT_EQ(index, static_cast<int>(blocks.size()));
                                          blocks.emplace_back(d);
                                          return true;
                                      }),
              0);
    EXPECT_EQ(blocks, (std::vector<std::string>{"12", "34"}));
}

TEST_F(TransactionTest, AHandlerThatRejectsABlockFailsTheReply) {
    EXPECT_EQ(korvi70::RunTransaction(0, 3, {}, kTypeWidth, [](int, std::string_view) { return false; }), 3);
}

TEST_F(TransactionTest, StatusIsReturnedWithoutReadingFurther) {
    instrument.Faults().status = 5;
    bool called = false;
    unsigned type = 0;
    EXPECT_EQ(korvi70::RunTransaction(0, 3, {}, kTypeWidth,
                                      [&](int, std::string_view d) {
                                          called = true;
                                          return korvi70::ParseHex(d, &type);
                                      }),
              5);
    EXPECT_FALSE(called);
    // The check and terminator of that reply are still queued, unread.
    EXPECT_EQ(Korvi70_GetInQLen(), 3);
}

TEST_F(TransactionTest, ACheckOneBitOffGivesThree) {
    instrument.Faults().wrongCheck = true;
    unsigned type = 0;
    EXPECT_EQ(Identify(&type), 3);
}

TEST_F(TransactionTest, AReplyToAnotherTransactionGivesThree) {
    instrument.Faults().wrongTransaction = true;
    unsigned type = 0;
    EXPECT_EQ(Identify(&type), 3);
}

TEST_F(TransactionTest, RepliesMustComeFromTheAddressedInstrumentToThisProgram) {
    unsigned type = 0;
    const auto accept = [&](int, std::string_view d) { return korvi70::ParseHex(d, &type); };
    // Addressed to its own ID the instrument answers with source 05.
    EXPECT_EQ(korvi70::RunTransaction(5, 3, {}, kTypeWidth, accept), 0);
    // Another ID: no instrument answers.
    EXPECT_EQ(korvi70::RunTransaction(6, 3, {}, kTypeWidth, accept), 3);
    // A reply addressed to another program (its ID changed in between).
    korvi70::HexRequest request;
    ASSERT_EQ(korvi70::SendRequest(request, 0, 3, {}), 0);
    Korvi70_NrIdProg = 0x72;
    EXPECT_EQ(korvi70::ReceiveReply(request, kTypeWidth, accept), 3);
    // A reply from ID 5 to a request addressed to ID 0.
    Korvi70_NrIdProg = 0x71;
    ASSERT_EQ(korvi70::SendRequest(request, 5, 3, {}), 0);
    request.destination = 0;
    EXPECT_EQ(korvi70::ReceiveReply(request, kTypeWidth, accept), 3);
}

TEST_F(TransactionTest, GarbageBeforeTheLeadInIsSkipped) {
    instrument.Faults().garbage = std::string(sim::kDefaultGarbage);
    unsigned type = 0;
    EXPECT_EQ(Identify(&type), 0);
    EXPECT_EQ(type, 0x1B0u);
}

TEST_F(TransactionTest, SilenceGivesThreeAfterTheTimeOut) {
    instrument.Faults().silent = true;
    unsigned type = 0;
    EXPECT_EQ(Identify(&type), 3);
    EXPECT_EQ(Korvi70_BladLacza, Korvi70_BladCzasu);
}

TEST_F(TransactionTest, AReplyCutShortAnywhereGivesThree) {
    // Lead-in 3, header 8, data 4, check 2, terminator 1.
    for (int cut : {0, 3, 4, 10, 11, 14, 15, 16, 17}) {
        instrument.Faults().cutAfter = cut;
        unsigned type = 0;
        EXPECT_EQ(Identify(&type), 3) << "cut after " << cut;
    }
    instrument.Faults().cutAfter = 18;
    unsigned type = 0;
    EXPECT_EQ(Identify(&type), 0);
}

TEST_F(TransactionTest, ATwoCharacterReadThatGetsOneYieldsAOneCharacterText) {
    // The reply stops after the first character of its check field.
    instrument.Faults().cutAfter = 3 + 8 + 4 + 1;
    korvi70::HexRequest request;
    ASSERT_EQ(korvi70::SendRequest(request, 0, 3, {}), 0);
    int status = -1;
    unsigned char check = 0;
    ASSERT_EQ(Korvi70_OdbierzStalaCzescOdpowiedzi(0, request.transaction, request.text.data(), &status, &check), 0);
    char data[5];
    ASSERT_EQ(Korvi70_ComRd(data, 4), 4);
    char chars[3] = {'x', 'y', 'z'};
    EXPECT_EQ(Korvi70_ComRd(chars, 2), 1);
    EXPECT_EQ(Korvi70_BladLacza, Korvi70_BladCzasu);
    EXPECT_EQ(std::strlen(chars), 1u);
    EXPECT_EQ(chars[2], '\0');  // cleared over three bytes
}

TEST_F(TransactionTest, TheNextCommandDiscardsWhatAFailedOneLeftBehind) {
    instrument.Faults().status = 7;
    unsigned type = 0;
    EXPECT_EQ(Identify(&type), 7);
    instrument.Faults().status = 0;
    EXPECT_EQ(Identify(&type), 0);
    EXPECT_EQ(type, 0x1B0u);
}

TEST_F(TransactionTest, RequestsOutOfBoundsAreRefusedBeforeSending) {
    const std::string tooLong(korvi70::kMaxRequestData + 1, '0');
    EXPECT_EQ(korvi70::RunTransaction(0, 3, tooLong), 1);
    static constexpr int kBadWidth[] = {0};
    EXPECT_EQ(korvi70::RunTransaction(0, 3, {}, kBadWidth, [](int, std::string_view) { return true; }), 1);
    EXPECT_TRUE(device.written.empty());
}

// ---- echo ----

TEST_F(TransactionTest, AnEchoingLineIsFoundWhenTheLinkOpensAndTheEchoIsConsumed) {
    instrument.Faults().echo = true;
    Reopen();
    EXPECT_EQ(Korvi70_JestEcho, 1);
    unsigned type = 0;
    EXPECT_EQ(Identify(&type), 0);
    EXPECT_EQ(type, 0x1B0u);
    // Each part goes before its echo is read, as it is written.
    EXPECT_EQ(device.writes, (std::vector<std::size_t>{1, 1, 1, 8, 2, 1}));
}

// Echoes every byte with one of them changed.
class CorruptEcho : public platform::ComDevice {
public:
    explicit CorruptEcho(int corruptAt) : corruptAt_(corruptAt) {}
    void Write(const unsigned char *data, std::size_t count) override {
        for (std::size_t i = 0; i < count; ++i, ++seen_)
            queued_.push_back(static_cast<char>(seen_ == corruptAt_ ? data[i] ^ 0x20 : data[i]));
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
    int corruptAt_;
    int seen_ = 0;
    std::string queued_;
};

TEST_F(TransactionTest, AnEchoMismatchGivesThreeBeforeTheReplyIsAwaited) {
    Korvi70_ZamZlacze();
    CorruptEcho echo(/*after the probe and preamble: header character 5*/ 5 + 3 + 4);
    platform::AttachComDevice(kPort, &echo);
    ASSERT_EQ(Korvi70_IniZlacze(0), 0);
    ASSERT_EQ(Korvi70_JestEcho, 1);
    unsigned type = 0;
    EXPECT_EQ(Identify(&type), 3);
    EXPECT_EQ(Korvi70_BladLacza, 0) << "decided on the echo, not on a time-out";
    Korvi70_ZamZlacze();
    platform::AttachComDevice(kPort, &device);
    ASSERT_EQ(Korvi70_IniZlacze(0), 0);
}

TEST_F(TransactionTest, AnUnexpectedEchoIsRecognisedByItsDestination) {
    instrument.Faults().echo = true;  // after the echo test: the flag stays 0
    ASSERT_EQ(Korvi70_JestEcho, 0);
    unsigned type = 0;
    EXPECT_EQ(Identify(&type), 0);
    EXPECT_EQ(type, 0x1B0u);
}

TEST_F(TransactionTest, AnUnexpectedEchoThatDiffersGivesThree) {
    Korvi70_ZamZlacze();
    CorruptEcho echo(/*the probe is only read, then preamble 3 + header 6*/ 5 + 3 + 6);
    platform::AttachComDevice(kPort, &echo);
    ASSERT_EQ(Korvi70_IniZlacze(0), 0);
    Korvi70_JestEcho = 0;
    unsigned type = 0;
    EXPECT_EQ(Identify(&type), 3);
    Korvi70_ZamZlacze();
    platform::AttachComDevice(kPort, &device);
    ASSERT_EQ(Korvi70_IniZlacze(0), 0);
}

// ---- a frame held for one write ----

TEST_F(TransactionTest, AHeldFrameLeavesAtItsTerminatorBeforeAnythingElseOrWhenItEnds) {
    {
        const korvi70::HeldFrame frame;
        EXPECT_EQ(Korvi70_ComWrt("ab", 2), 2);
        EXPECT_EQ(Korvi70_BladLacza, 0);
        EXPECT_TRUE(device.written.empty());
        EXPECT_EQ(Korvi70_ComWrtByte(0x01), 1);
        EXPECT_EQ(device.written, "ab\x01");
        Korvi70_ComWrt("cd", 2);
        EXPECT_EQ(Korvi70_GetInQLen(), 0);
        EXPECT_EQ(device.written,
                  "ab\x01"
                  "cd");
        Korvi70_ComWrt("ef", 2);
        Korvi70_FlushOutQ();  // dropped with the output queue
        Korvi70_ComWrt("gh", 2);
    }
    EXPECT_EQ(device.written,
              "ab\x01"
              "cdgh");
    EXPECT_EQ(device.writes, (std::vector<std::size_t>{3, 2, 2}));

    // More than it holds goes in order, nothing lost.
    device.written.clear();
    std::string big(5000, '\0');
    for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>('A' + i % 26);
    {
        const korvi70::HeldFrame frame;
        Korvi70_ComWrt("x", 1);
        EXPECT_EQ(Korvi70_ComWrt(big.data(), 5000), 5000);
        Korvi70_ComWrt("y", 1);
    }
    EXPECT_EQ(device.written, "x" + big + "y");
}

TEST_F(TransactionTest, AHeldFrameThatCannotLeaveFailsAtItsTerminator) {
    Korvi70_ZamZlacze();
    {
        const korvi70::HeldFrame frame;
        EXPECT_EQ(Korvi70_ComWrt("ab", 2), 2);
        EXPECT_EQ(Korvi70_BladLacza, 0);
        EXPECT_LT(Korvi70_ComWrtByte(0x01), 0);
        EXPECT_NE(Korvi70_BladLacza, 0);
    }
    ASSERT_EQ(Korvi70_IniZlacze(0), 0);
}

// ---- failures while sending ----

TEST_F(TransactionTest, AClosedPortFailsWithTwo) {
    Korvi70_ZamZlacze();
    unsigned type = 0;
    EXPECT_EQ(Identify(&type), 2);
    EXPECT_NE(Korvi70_BladLacza, 0);
    ASSERT_EQ(Korvi70_IniZlacze(0), 0);
}

}  // namespace
}  // namespace korvi70_test
