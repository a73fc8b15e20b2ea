#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include <regex>
#include <string>

#include "app/app_state.h"
#include "app/config_file.h"
#include "korvi70/link.h"
#include "test_env.h"

namespace {

using apptest::TempDrive;

const std::string kConfig = std::string(apptest::kDataVista) + "\\VGX52.kfg";

class AppConfigFile : public ::testing::Test {
protected:
    void SetUp() override {
        drive_.MakeFolder(apptest::kDataVista);
        Korvi70_NrZlacza = 2;
        OkresOdpytywania = 1.0;
    }
    // Reads a file with the given content; returns the function's result.
    int ReadText(const std::string &text) {
        apptest::WriteBytes(drive_.Host(kConfig), text);
        return OdczytanieZbioruKonfiguracyjnego(kConfig.c_str());
    }
    TempDrive drive_;
};

TEST_F(AppConfigFile, WrittenBytesFollowTheFormat) {
    Korvi70_NrZlacza = 7;
    OkresOdpytywania = 0.2;
    ASSERT_EQ(ZapiszZbiorKonfiguracyjny(kConfig.c_str()), 0);
    const std::string bytes = apptest::ReadBytes(drive_.Host(kConfig));

    // Date and time come from the clock; check their form, then the rest byte for byte.
    std::smatch m;
    ASSERT_TRUE(std::regex_search(bytes, m, std::regex("# DATA (\\d\\d-\\d\\d-\\d{4})\r\n")));
    const std::string date = m[1];
    ASSERT_TRUE(std::regex_search(bytes, m, std::regex("# CZAS (\\d\\d:\\d\\d:\\d\\d)\r\n")));
    const std::string time = m[1];

    const std::string degrees(55, '\xB0');
    const std::string expected = degrees + "\r\n" + "         Zbi\xF3r konfiguracyjny VGX52\r\n" + degrees + "\r\n" +
                                 "data utworzenia: \r\n"
                                 "# DATA " +
                                 date +
                                 "\r\n"
                                 "czas utworzenia: \r\n"
                                 "# CZAS " +
                                 time +
                                 "\r\n"
                                 "\r\n"
                                 "Numer z\xB3\xB9"
                                 "cza szeregowego wykorzystywanego do transmisji z przyrz\xB9"
                                 "dem\r\n"
                                 "mo\xBF"
                                 "e przybiera\xE6 warto\x9C"
                                 "ci od 1 do 100\r\n"
                                 "# NumerZlacza 7\r\n"
                                 "\r\n"
                                 "Okres odpytywania przyrz\xB9"
                                 "du, mo\xBF"
                                 "e posiada\xE6 warto\x9C"
                                 "ci ze zakresu od "
                                 "0.200000 do 50.000000\r\n"
                                 "# OkresOdpytywania 0.200000\r\n";
    EXPECT_EQ(bytes, expected);
}

TEST_F(AppConfigFile, RoundTripKeepsPortAndPeriodToSixDecimals) {
    const std::pair<int, double> cases[] = {{1, 0.2}, {100, 50.0}, {13, 1.0 / 3.0}, {2, 1.0}, {8, 12.3456789}};
    for (auto [port, period] : cases) {
        Korvi70_NrZlacza = port;
        OkresOdpytywania = period;
        ASSERT_EQ(ZapiszZbiorKonfiguracyjny(kConfig.c_str()), 0);
        Korvi70_NrZlacza = 55;
        OkresOdpytywania = 9.0;
        ASSERT_EQ(OdczytanieZbioruKonfiguracyjnego(kConfig.c_str()), 0);
        EXPECT_EQ(Korvi70_NrZlacza, port);
        EXPECT_NEAR(OkresOdpytywania, period, 0.5e-6) << period;
    }
}

TEST_F(AppConfigFile, RewriteReplacesTheOldFileWholly) {
    apptest::WriteBytes(drive_.Host(kConfig), std::string(5000, 'x'));
    Korvi70_NrZlacza = 3;
    ASSERT_EQ(ZapiszZbiorKonfiguracyjny(kConfig.c_str()), 0);
    const std::string bytes = apptest::ReadBytes(drive_.Host(kConfig));
    EXPECT_EQ(bytes.find('x'), std::string::npos);
    EXPECT_EQ(bytes.rfind(std::string(55, '\xB0') + "\r\n", 0), 0u);
    EXPECT_NE(bytes.find("\r\n# NumerZlacza 3\r\n"), std::string::npos);
    const std::string tail = "\r\n# OkresOdpytywania 1.000000\r\n";
    ASSERT_GT(bytes.size(), tail.size());
    EXPECT_EQ(bytes.substr(bytes.size() - tail.size()), tail);
}

TEST_F(AppConfigFile, MissingFileGivesDefaultsAndTwelve) {
    Korvi70_NrZlacza = 9;
    OkresOdpytywania = 3.0;
    EXPECT_EQ(OdczytanieZbioruKonfiguracyjnego("C:\\ProgramData\\BRANDOLUX SoftWare Data\\none.kfg"), 12);
    EXPECT_EQ(Korvi70_NrZlacza, 2);
    EXPECT_EQ(OkresOdpytywania, 1.0);
    EXPECT_EQ(OdczytanieZbioruKonfiguracyjnego(nullptr), 12);
}

TEST_F(AppConfigFile, FolderOrPipeInPlaceOfTheFileIsAMissingFile) {
    for (const bool pipe : {false, true}) {
        const std::string host = drive_.Host(kConfig);
        std::remove(host.c_str());
        ASSERT_EQ(pipe ? mkfifo(host.c_str(), 0600) : mkdir(host.c_str(), 0700), 0);
        Korvi70_NrZlacza = 9;
        EXPECT_EQ(OdczytanieZbioruKonfiguracyjnego(kConfig.c_str()), 12) << (pipe ? "pipe" : "folder");
        EXPECT_EQ(Korvi70_NrZlacza, 2);
        rmdir(host.c_str());
        std::remove(host.c_str());
    }
}

TEST_F(AppConfigFile, DefaultsAreSetBeforeReading) {
    Korvi70_NrZlacza = 9;
    OkresOdpytywania = 3.0;
    EXPECT_EQ(ReadText("nothing here\r\n"), 0);
    EXPECT_EQ(Korvi70_NrZlacza, 2);
    EXPECT_EQ(OkresOdpytywania, 1.0);
}

TEST_F(AppConfigFile, PeriodRangeEdges) {
    const std::pair<const char *, double> cases[] = {
        {"0.2", 0.2}, {"0.19", 1.0}, {"50", 50.0}, {"50.01", 1.0}, {"50.000000", 50.0}, {"0.199999", 1.0},
        {"-1", 1.0},  {"abc", 1.0},  {"", 1.0},    {"25", 25.0},   {"5e0", 5.0}};
    for (auto [value, expected] : cases) {
        ASSERT_EQ(ReadText(std::string("# OkresOdpytywania ") + value + "\r\n"), 0);
        EXPECT_EQ(OkresOdpytywania, expected) << value;
    }
}

TEST_F(AppConfigFile, PortRangeEdges) {
    const std::pair<const char *, int> cases[] = {{"0", 2},  {"1", 1}, {"100", 100}, {"101", 2},
                                                  {"-5", 2}, {"x", 2}, {"", 2},      {"99999999999", 2}};
    for (auto [value, expected] : cases) {
        ASSERT_EQ(ReadText(std::string("# NumerZlacza ") + value + "\r\n"), 0);
        EXPECT_EQ(Korvi70_NrZlacza, expected) << value;
    }
}

TEST_F(AppConfigFile, KeysInAnyCaseAndWithoutBlankAfterHash) {
    ASSERT_EQ(ReadText("#numerzlacza 9\r\n#OKRESODPYTYWANIA 2.5\r\n"), 0);
    EXPECT_EQ(Korvi70_NrZlacza, 9);
    EXPECT_EQ(OkresOdpytywania, 2.5);
    ASSERT_EQ(ReadText("#   NuMeRzLaCzA\t\t11\n#\tOkresOdpytywania 0.5\n"), 0);
    EXPECT_EQ(Korvi70_NrZlacza, 11);
    EXPECT_EQ(OkresOdpytywania, 0.5);
}

TEST_F(AppConfigFile, OnlyLinesStartingWithHashCount) {
    ASSERT_EQ(ReadText(" # NumerZlacza 9\r\nNumerZlacza 8\r\nx# OkresOdpytywania 3\r\n"
                       "# NumerZlaczaX 7\r\n# OkresOdpytywania3\r\n#\r\n# \r\n"),
              0);
    EXPECT_EQ(Korvi70_NrZlacza, 2);
    EXPECT_EQ(OkresOdpytywania, 1.0);
}

TEST_F(AppConfigFile, LastAcceptableLineWins) {
    ASSERT_EQ(ReadText("# NumerZlacza 5\r\n# NumerZlacza 6\r\n# NumerZlacza 0\r\n"
                       "# OkresOdpytywania 4\r\n# OkresOdpytywania 3\r\n# OkresOdpytywania 51\r\n"),
              0);
    EXPECT_EQ(Korvi70_NrZlacza, 6);
    EXPECT_EQ(OkresOdpytywania, 3.0);
}

TEST_F(AppConfigFile, DateAndTimeLinesAreIgnored) {
    ASSERT_EQ(ReadText("# DATA 12-31-2025\r\n# CZAS 23:59:59\r\n# NumerZlacza 4\r\n"), 0);
    EXPECT_EQ(Korvi70_NrZlacza, 4);
    EXPECT_EQ(OkresOdpytywania, 1.0);
}

TEST_F(AppConfigFile, LongLinesAreCutAtSixHundredCharacters) {
    // The value lies beyond the 600 characters read of this line: ignored.
    std::string text = "# NumerZlacza" + std::string(600, ' ') + "7\r\n";
    // A value within the first 600 characters is read; the line's tail is skipped.
    text += "# OkresOdpytywania 4.5" + std::string(1000, ' ') + "junk\r\n";
    // Reading goes on correctly after over-long lines.
    text += std::string(2000, 'z') + "\r\n# NumerZlacza 12\r\n";
    ASSERT_EQ(ReadText(text), 0);
    EXPECT_EQ(Korvi70_NrZlacza, 12);
    EXPECT_EQ(OkresOdpytywania, 4.5);

    ASSERT_EQ(ReadText("# NumerZlacza" + std::string(600, ' ') + "7\r\n"), 0);
    EXPECT_EQ(Korvi70_NrZlacza, 2);
}

TEST_F(AppConfigFile, BinaryGarbageNeverBreaksReading) {
    std::string garbage;
    for (int i = 0; i < 4096; ++i) garbage += static_cast<char>((i * 131 + 7) & 0xFF);
    ASSERT_EQ(ReadText(garbage + "\r\n# NumerZlacza 3\r\n" + garbage), 0);
    EXPECT_EQ(Korvi70_NrZlacza, 3);
}

TEST_F(AppConfigFile, UnwritableLocationGivesMinusOneAndCreatesNothing) {
    const std::string path = "C:\\No Such Folder\\VGX52.kfg";
    EXPECT_EQ(ZapiszZbiorKonfiguracyjny(path.c_str()), -1);
    EXPECT_FALSE(apptest::Exists(drive_.Host("C:\\No Such Folder")));
    EXPECT_EQ(ZapiszZbiorKonfiguracyjny(nullptr), -1);
    EXPECT_EQ(ZapiszZbiorKonfiguracyjny(""), -1);
}

}  // namespace
