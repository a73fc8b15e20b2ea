// The connection configuration file and opening the link it describes.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <string>

#include "korvi70/config.h"
#include "korvi70/link.h"
#include "korvi70/tcp_client.h"
#include "link_fixture.h"
#include "platform/com.h"
#include "tests/support/drive_path.h"
#include "ui/headless.h"

namespace korvi70_test {
namespace {

class ConfigTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetLinkState();
        ui::headless::Install();
        folder = testdrive::HostPath(TestDriveRoot(), "C:");
        mkdir(folder.c_str(), 0755);
        std::remove((folder + "/Korvi70.Kfg").c_str());
    }
    void TearDown() override {
        std::remove((folder + "/Korvi70.Kfg").c_str());
        ResetLinkState();
    }
    void WriteFile(const std::string &text) {
        std::ofstream file(folder + "/Korvi70.Kfg", std::ios::binary);
        file << text;
    }
    std::string folder;
};

TEST_F(ConfigTest, DefaultsStandWhenTheFileIsMissing) {
    Korvi70_NrZlacza = 9;
    Korvi70_TypLacza = 2;
    EXPECT_EQ(Korvi70_OdczytajZbiorKonfig(), -1);
    EXPECT_EQ(Korvi70_TypLacza, 0);
    EXPECT_EQ(Korvi70_NrZlacza, 2);
    EXPECT_EQ(Korvi70_NrIdProg, 0x71);
    EXPECT_DOUBLE_EQ(Korvi70_CzasOczekiwaniaRS, 0.5);
    EXPECT_EQ(Korvi70_NrPortuTCP, 66);
    EXPECT_STREQ(Korvi70_NazwaServeraKorviTCP, "127.0.0.1");
    EXPECT_DOUBLE_EQ(Korvi70_TCPIP_TimeOut, 500.0);
    EXPECT_EQ(Korvi70_CzyPytacOPolaczenie, 1);
    EXPECT_STREQ(Korvi70_NazwaZbioruZGrafika, "\\Korvi70\\SoftWare\\LWCVI\\Korvi70G.Uir");
}

TEST_F(ConfigTest, FolderOrPipeInPlaceOfTheFileIsAMissingFile) {
    const std::string path = folder + "/Korvi70.Kfg";
    for (const bool pipe : {false, true}) {
        ASSERT_EQ(pipe ? mkfifo(path.c_str(), 0600) : mkdir(path.c_str(), 0700), 0);
        Korvi70_NrZlacza = 9;
        EXPECT_EQ(Korvi70_OdczytajZbiorKonfig(), -1) << (pipe ? "pipe" : "folder");
        EXPECT_EQ(Korvi70_NrZlacza, 2);
        rmdir(path.c_str());
        std::remove(path.c_str());
    }
}

TEST_F(ConfigTest, EveryKeyIsReadInAnyCase) {
    WriteFile(
        "#NazwaZbioruZGrafika D:\\Panele\\K.uir\r\n"
        "#typlacza POLACZENIEPRZEZKORVITCP\r\n"
        "#nrzlaczars 7\r\n"
        "#NRIDPROG 5\r\n"
        "#CzasOczekiwaniaRS 1.25\r\n"
        "#NrPortuTCP 6000\r\n"
        "#NazwaServeraKorviTCP serwer.example\r\n"
        "#TCPIP_TimeOut 750\r\n"
        "#CzyPytacOPolaczenie nie\r\n");
    EXPECT_EQ(Korvi70_OdczytajZbiorKonfig(), 0);
    EXPECT_STREQ(Korvi70_NazwaZbioruZGrafika, "D:\\Panele\\K.uir");
    EXPECT_EQ(Korvi70_TypLacza, 2);
    EXPECT_EQ(Korvi70_NrZlacza, 7);
    EXPECT_EQ(Korvi70_NrIdProg, 5);
    EXPECT_DOUBLE_EQ(Korvi70_CzasOczekiwaniaRS, 1.25);
    EXPECT_EQ(Korvi70_NrPortuTCP, 6000);
    EXPECT_STREQ(Korvi70_NazwaServeraKorviTCP, "serwer.example");
    EXPECT_DOUBLE_EQ(Korvi70_TCPIP_TimeOut, 750.0);
    EXPECT_EQ(Korvi70_CzyPytacOPolaczenie, 0);
}

TEST_F(ConfigTest, ValuesOutOfRangeLeaveThePreviousValue) {
    WriteFile(
        "#NrZlaczaRS 7\n#NrZlaczaRS 0\n#NrZlaczaRS 101\n"
        "#CzasOczekiwaniaRS 0.05\n#CzasOczekiwaniaRS 0.04\n"
        "#TCPIP_TimeOut 5\n#TCPIP_TimeOut 4\n"
        "#NrIdProg 256\n#NrIdProg -1\n");
    EXPECT_EQ(Korvi70_OdczytajZbiorKonfig(), 0);
    EXPECT_EQ(Korvi70_NrZlacza, 7);
    EXPECT_DOUBLE_EQ(Korvi70_CzasOczekiwaniaRS, 0.05);
    EXPECT_DOUBLE_EQ(Korvi70_TCPIP_TimeOut, 5.0);
    EXPECT_EQ(Korvi70_NrIdProg, 0x71);

    WriteFile("#CzasOczekiwaniaRS 5\n#CzasOczekiwaniaRS 5.1\n#TCPIP_TimeOut 4\n");
    EXPECT_EQ(Korvi70_OdczytajZbiorKonfig(), 0);
    EXPECT_DOUBLE_EQ(Korvi70_CzasOczekiwaniaRS, 5.0);
    EXPECT_DOUBLE_EQ(Korvi70_TCPIP_TimeOut, 500.0);
}

TEST_F(ConfigTest, TheLimitsOfTheIntegerRangesAreAccepted) {
    struct Case {
        const char *line;
        int (*setting)();
        int value;
    };
    const auto port = [] { return Korvi70_NrZlacza; };
    const auto ownId = [] { return static_cast<int>(Korvi70_NrIdProg); };
    const Case cases[] = {
        {"#NrZlaczaRS 1\n", port, 1},
        {"#NrZlaczaRS 100\n", port, 100},
        {"#NrIdProg 0\n", ownId, 0},
        {"#NrIdProg 255\n", ownId, 255},
    };
    for (const Case &c : cases) {
        WriteFile(c.line);
        EXPECT_EQ(Korvi70_OdczytajZbiorKonfig(), 0);
        EXPECT_EQ(c.setting(), c.value) << c.line;
    }
}

TEST_F(ConfigTest, LinesWithoutTheMarkUnknownKeysAndUnreadableValuesAreIgnored) {
    WriteFile(
        "NrIdProg 5\n"
        " #NrIdProg 6\n"
        "#NrIdProg\n"
        "#NrIdProg abc\n"
        "#NieznanyKlucz 1\n"
        "#TypLacza Golebie\n"
        "#CzyPytacOPolaczenie moze\n"
        "#CzasOczekiwaniaRS nan\n"
        "#TCPIP_TimeOut inf\n"
        "#\n"
        "\n");
    EXPECT_EQ(Korvi70_OdczytajZbiorKonfig(), 0);
    EXPECT_EQ(Korvi70_NrIdProg, 0x71);
    EXPECT_EQ(Korvi70_TypLacza, 0);
    EXPECT_EQ(Korvi70_CzyPytacOPolaczenie, 1);
    EXPECT_DOUBLE_EQ(Korvi70_CzasOczekiwaniaRS, 0.5);
    EXPECT_DOUBLE_EQ(Korvi70_TCPIP_TimeOut, 500.0);
}

TEST_F(ConfigTest, TheLastOfTwoLinesCounts) {
    WriteFile("#NrIdProg 5\n#NrIdProg 9\n#TypLacza PolaczeniePrzezModem\n#TypLacza PolaczenieBezposrednieRS\n");
    EXPECT_EQ(Korvi70_OdczytajZbiorKonfig(), 0);
    EXPECT_EQ(Korvi70_NrIdProg, 9);
    EXPECT_EQ(Korvi70_TypLacza, 0);
}

TEST_F(ConfigTest, TextsTooLongForTheirBuffersAreIgnored) {
    const std::string host98(98, 'h'), host99(99, 'h');
    const std::string name260(260, 'n'), name261(261, 'n');
    WriteFile("#NazwaServeraKorviTCP " + host98 + "\n#NazwaServeraKorviTCP " + host99 + "\n" + "#NazwaZbioruZGrafika " +
              name260 + "\n#NazwaZbioruZGrafika " + name261 + "\n");
    EXPECT_EQ(Korvi70_OdczytajZbiorKonfig(), 0);
    EXPECT_EQ(std::string(Korvi70_NazwaServeraKorviTCP), host98);
    EXPECT_EQ(std::string(Korvi70_NazwaZbioruZGrafika), name260);
}

TEST_F(ConfigTest, AnOverLongLineIsCutAndTheNextLineStillCounts) {
    WriteFile("#NrIdProg 7" + std::string(2000, ' ') + "x\n#NrZlaczaRS 12\n");
    EXPECT_EQ(Korvi70_OdczytajZbiorKonfig(), 0);
    EXPECT_EQ(Korvi70_NrIdProg, 7);
    EXPECT_EQ(Korvi70_NrZlacza, 12);
}

TEST_F(ConfigTest, TheQuestionReplacesTheFilesLinkType) {
    WriteFile("#TypLacza polaczenieprzezmodem\n");
    ui::headless::ExpectGeneric("Wybierz typ połączenia.", 2);
    Korvi70_OdczytajKonfiguracjeKorvi70();
    EXPECT_EQ(Korvi70_TypLacza, 2);
    ASSERT_EQ(ui::headless::Popups().size(), 1u);
    const auto &asked = ui::headless::Popups()[0].request;
    EXPECT_EQ(asked.message, "Sposób realizacji sieci Korvi70.");
    EXPECT_EQ(asked.buttons[0], "bezpośrednie połączenia przez RS");
    EXPECT_EQ(asked.buttons[1], "poprzez sieć TCP i server TCPKorvi70");
    EXPECT_EQ(asked.buttons[2], "");
    EXPECT_FALSE(asked.hasResponse);
    EXPECT_EQ(asked.enterButton, 1);

    for (int answer : {1, 0}) {  // the first button, or the window closed
        ui::headless::ExpectGeneric("Wybierz typ połączenia.", answer);
        Korvi70_OdczytajKonfiguracjeKorvi70();
        EXPECT_EQ(Korvi70_TypLacza, 0) << answer;
    }
    EXPECT_TRUE(ui::headless::Failures().empty());
}

TEST_F(ConfigTest, WithoutTheQuestionTheFileDecides) {
    WriteFile("#TypLacza PolaczeniePrzezModem\n#CzyPytacOPolaczenie NIE\n");
    Korvi70_OdczytajKonfiguracjeKorvi70();
    EXPECT_EQ(Korvi70_TypLacza, 1);
    EXPECT_TRUE(ui::headless::Popups().empty());
}

TEST_F(ConfigTest, AMissingFileGivesTheFallbackPanelFile) {
    ui::headless::ExpectGeneric("Wybierz typ połączenia.", 1);
    Korvi70_OdczytajKonfiguracjeKorvi70();
    EXPECT_STREQ(Korvi70_NazwaZbioruZGrafika, "P:\\Korvi70\\SoftWare\\LWCVI\\Korvi70G.UIR");
}

TEST_F(ConfigTest, OpeningModes) {
    EXPECT_EQ(Korvi70_IniZlacze(2), 1);
    EXPECT_EQ(Korvi70_IniZlacze(-1), 1);
    WriteFile("#TypLacza PolaczeniePrzezModem\n#CzyPytacOPolaczenie NIE\n");
    EXPECT_EQ(Korvi70_IniZlacze(1), 0);  // reads the file: the modem type opens nothing
    EXPECT_EQ(Korvi70_TypLacza, 1);
    EXPECT_EQ(Korvi70_ZamZlacze(), 0);
}

TEST_F(ConfigTest, ASerialPortIsOpenedWithTheLinksSettings) {
    sim::Instrument instrument;
    TapDevice device(instrument);
    platform::AttachComDevice(61, &device);
    Korvi70_NrZlacza = 61;
    Korvi70_CzasOczekiwaniaRS = 0.07;
    EXPECT_EQ(Korvi70_IniZlacze(0), 0);
    EXPECT_TRUE(platform::IsComOpen(61));
    EXPECT_DOUBLE_EQ(platform::GetComTime(61), 0.07);
    // The echo test's probe went out.
    EXPECT_EQ(device.written, Bytes({0xFF, 0x55, 0x33, 0x0F, 0xFF}));
    EXPECT_EQ(Korvi70_JestEcho, 0);
    EXPECT_EQ(Korvi70_ZamZlacze(), 0);
    EXPECT_FALSE(platform::IsComOpen(61));
    EXPECT_EQ(Korvi70_ZamZlacze(), -1);  // nothing left to close
    platform::AttachComDevice(61, nullptr);
}

TEST_F(ConfigTest, APortThatCannotBeSetUpIsClosedAgain) {
    sim::Instrument instrument;
    TapDevice device(instrument);
    platform::AttachComDevice(62, &device);
    Korvi70_NrZlacza = 62;
    Korvi70_CzasOczekiwaniaRS = -1;  // the port refuses this time-out
    EXPECT_EQ(Korvi70_IniZlacze(0), -1);
    EXPECT_FALSE(platform::IsComOpen(62));
    platform::AttachComDevice(62, nullptr);
}

TEST_F(ConfigTest, APortWithoutADeviceFails) {
    Korvi70_NrZlacza = 99;  // no link com99 in the test drive root, no /dev/ttyS98 to use
    EXPECT_EQ(Korvi70_IniZlacze(0), -1);
    EXPECT_FALSE(platform::IsComOpen(99));
}

}  // namespace
}  // namespace korvi70_test
