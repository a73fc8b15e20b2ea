// The level-1 loader's messages byte for byte on a scripted line, and a page
// written into the simulated instrument's flash.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "korvi70/commands.h"
#include "korvi70/config.h"
#include "korvi70/link.h"
#include "platform/com.h"
#include "sim/instrument.h"
#include "tests/korvi70/link_fixture.h"
#include "upgrade/level1_loader.h"

namespace {

// A loader on the line: records what the program writes and the time-out
// of every read, and gives the scripted answer once it is asked for.
class ScriptedLoader : public platform::ComDevice {
public:
    void Write(const unsigned char *data, std::size_t count) override {
        written.append(reinterpret_cast<const char *>(data), count);
    }
    std::size_t Read(unsigned char *data, std::size_t count, double timeoutSeconds) override {
        readTimeouts.push_back(timeoutSeconds);
        std::size_t n = 0;
        while (n < count && !answer.empty()) {
            data[n++] = static_cast<unsigned char>(answer.front());
            answer.erase(0, 1);
        }
        return n;
    }
    std::size_t Available() override { return answer.size(); }
    void DiscardInput() override { answer.clear(); }

    std::string written;
    std::string answer;
    std::vector<double> readTimeouts;
};

std::string Xor(const std::string &text) {
    unsigned char x = 0;
    for (char c : text) x ^= static_cast<unsigned char>(c);
    char digits[3];
    std::snprintf(digits, sizeof digits, "%02X", x);
    return digits;
}

class LevelOne : public ::testing::Test {
protected:
    static constexpr int kPort = 41;
    void SetUp() override {
        korvi70_test::ResetLinkState();
        Korvi70_NrZlacza = kPort;
        Korvi70_CzasOczekiwaniaRS = 0.2;
        platform::AttachComDevice(kPort, &line);
        ASSERT_EQ(Korvi70_IniZlacze(0), 0);
        line.written.clear();
        line.answer.clear();
        line.readTimeouts.clear();
    }
    void TearDown() override {
        Korvi70_ZamZlacze();
        platform::AttachComDevice(kPort, nullptr);
    }
    ScriptedLoader line;
};

TEST_F(LevelOne, PageMessageIsPageDigitsDataDigitsAndTheirXor) {
    line.answer = "0";
    const unsigned char data[] = {0x00, 0xAB, 0xFF, 0x3C};
    ASSERT_EQ(UpLoad_ZapStronePamieci(0x01E0, data, 4), 0);
    const std::string body = ":B01E000ABFF3C";
    EXPECT_EQ(line.written, body + Xor(body));
    // The answer is awaited for 3 s; the configured time-out comes back after.
    ASSERT_EQ(line.readTimeouts.size(), 1u);
    EXPECT_NEAR(line.readTimeouts[0], 3.0, 0.05);
    EXPECT_DOUBLE_EQ(platform::GetComTime(kPort), 0.2);
}

TEST_F(LevelOne, PageOfNoDataStillWaitsForTheAcknowledgement) {
    line.answer = "0";
    EXPECT_EQ(UpLoad_ZapStronePamieci(0xBEEF, nullptr, 0), 0);
    EXPECT_EQ(line.written, ":BBEEF" + Xor(":BBEEF"));
    EXPECT_EQ(line.readTimeouts.size(), 1u);
}

TEST_F(LevelOne, PageIsRefusedByAnyOtherAnswerOrNone) {
    const unsigned char data[] = {1};
    line.answer = "1";
    EXPECT_EQ(UpLoad_ZapStronePamieci(0, data, 1), -1);
    line.answer = "";
    EXPECT_EQ(UpLoad_ZapStronePamieci(0, data, 1), -1);
    EXPECT_DOUBLE_EQ(platform::GetComTime(kPort), 0.2);
    line.answer = "O";
    EXPECT_EQ(UpLoad_ZapStronePamieci(0, data, 1), -1);
}

TEST_F(LevelOne, PageArgumentsOutOfRangeSendNothing) {
    const unsigned char data[] = {1};
    EXPECT_EQ(UpLoad_ZapStronePamieci(-1, data, 1), 1);
    EXPECT_EQ(UpLoad_ZapStronePamieci(0x10000, data, 1), 1);
    EXPECT_EQ(UpLoad_ZapStronePamieci(0, nullptr, 1), 1);
    EXPECT_EQ(UpLoad_ZapStronePamieci(0, data, -1), 1);
    EXPECT_EQ(line.written, "");
}

TEST_F(LevelOne, EndOfWorkIsColonC79AnsweredOk) {
    line.answer = "OK";
    EXPECT_EQ(UpLoad_ZakonczPraceUpgradeLoader(), 0);
    EXPECT_EQ(line.written, ":C79");
    ASSERT_EQ(line.readTimeouts.size(), 1u);
    EXPECT_NEAR(line.readTimeouts[0], 0.2, 0.05);
    for (const char *answer : {"ok", "oK", "Ok"}) {
        line.answer = answer;
        EXPECT_EQ(UpLoad_ZakonczPraceUpgradeLoader(), 0) << answer;
    }
    for (const char *answer : {"NO", "O", "", "0K"}) {
        line.answer = answer;
        EXPECT_EQ(UpLoad_ZakonczPraceUpgradeLoader(), -1) << answer;
    }
}

TEST_F(LevelOne, ChecksumIsTwoUpperCaseDigitsInOneBlock) {
    EXPECT_EQ(UpLoad_WyslijSumeKontrolnaCRC(0x0A), 2);
    EXPECT_EQ(UpLoad_WyslijSumeKontrolnaCRC(0xF0), 2);
    EXPECT_EQ(line.written, "0AF0");
}

TEST_F(LevelOne, ClosedPortFailsWithoutWaiting) {
    Korvi70_ZamZlacze();
    const unsigned char data[] = {1};
    EXPECT_EQ(UpLoad_ZapStronePamieci(3, data, 1), -1);
    EXPECT_EQ(UpLoad_ZakonczPraceUpgradeLoader(), -1);
    ASSERT_EQ(Korvi70_IniZlacze(0), 0);
}

// The whole level-1 conversation with the simulated instrument.
class LevelOneSim : public korvi70_test::SimLinkTest {};

TEST_F(LevelOneSim, PageReachesTheFlashAndTheLoaderEnds) {
    ASSERT_EQ(Korvi70_UruchomUpgradeLoader(0), 0);
    std::vector<unsigned char> page(256);
    for (int i = 0; i < 256; ++i) page[static_cast<std::size_t>(i)] = static_cast<unsigned char>(i * 3 + 1);
    ASSERT_EQ(UpLoad_ZapStronePamieci(0x1DF, page.data(), 256), 0);
    ASSERT_EQ(UpLoad_ZakonczPraceUpgradeLoader(), 0);

    const auto &flash = instrument.State().vgx.flash;
    EXPECT_TRUE(std::equal(page.begin(), page.end(), flash.begin() + 0x1DF * 256));
    EXPECT_EQ(flash[0x1DF * 256 - 1], 0xFF);
    EXPECT_EQ(instrument.State().vgx.pagesWritten, 1);
    // Frames again after the loader's end.
    int type = 0;
    EXPECT_EQ(Korvi70_PrzedstawSie(0, &type), 0);
    EXPECT_EQ(type, 0x1B0);
}

}  // namespace
