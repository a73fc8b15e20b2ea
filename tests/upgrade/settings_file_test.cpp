// The settings file that the upgrade's backup and settings-save write and
// settings-restore reads: every setting back bit for bit, the bytes a text
// editor sees, and what becomes of the lines an operator edited.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "hex_text.h"
#include "upgrade/settings_file.h"

namespace {

using namespace upgrade_test;
using upgrade::SavedSettings;

// Every item held, the reals at the edges of single precision; serial: 8 bytes.
SavedSettings AllHeld(const char *serial) {
    SavedSettings s;
    const float reals[upgrade::kRealSettings] = {-0.0f,
                                                 std::numeric_limits<float>::denorm_min(),
                                                 std::numeric_limits<float>::max(),
                                                 -std::numeric_limits<float>::max(),
                                                 std::numeric_limits<float>::min(),
                                                 1.0f / 3.0f,
                                                 287.055f,
                                                 -123.456f,
                                                 1e-20f,
                                                 16777217.0f,
                                                 0.1f,
                                                 2.5e38f,
                                                 0.0f};
    for (int i = 0; i < upgrade::kRealSettings; ++i) s.reals[i] = reals[i];
    s.integerA = -32768;
    s.id = 255;
    std::memcpy(s.serial, serial, 8);
    for (bool &held : s.held) held = true;
    return s;
}

SavedSettings RoundTrip(const SavedSettings &settings, std::string *bytes = nullptr) {
    const std::string path = TempFolder() + "/settings.txt";
    std::string error;
    EXPECT_EQ(upgrade::WriteSettingsFile(path.c_str(), settings, upgrade::InstrumentFacts(), &error), 0) << error;
    if (bytes != nullptr) *bytes = ReadFile(path);
    SavedSettings back;
    std::vector<std::string> ignored;
    EXPECT_EQ(upgrade::ReadSettingsFile(path.c_str(), back, &ignored, &error), 0) << error;
    EXPECT_TRUE(ignored.empty()) << ignored.front();
    return back;
}

TEST(SettingsFile, EverySettingComesBackBitForBit) {
    // A plain serial number padded with blanks, and one only hex digits keep.
    for (const char *serial : {"AB      ", "A B\x01\xB9!~#"}) {
        const SavedSettings settings = AllHeld(serial);
        const SavedSettings back = RoundTrip(settings);
        for (int item = 0; item < upgrade::kSettingItems; ++item)
            EXPECT_TRUE(upgrade::SameSetting(settings, back, item)) << upgrade::SettingName(item) << " " << serial;
        EXPECT_TRUE(std::signbit(back.reals[0]));
    }
    // The integer at the edges of its 16 bits, as an operator may write
    // them: held as the instrument gives them back (0x7FFF, 0x8000,
    // 0xFFFF), and so written and read again.
    const struct {
        const char *text;
        int held;
    } integers[] = {{"32767", 32767}, {"32768", -32768}, {"65535", -1}, {"-32768", -32768}};
    for (const auto &integer : integers) {
        const std::string path = WriteTempFile("integer.txt", std::string("# NastawaCalkowita_A ") + integer.text);
        SavedSettings read;
        std::string error;
        ASSERT_EQ(upgrade::ReadSettingsFile(path.c_str(), read, nullptr, &error), 0) << error;
        EXPECT_EQ(read.integerA, integer.held) << integer.text;
        ASSERT_TRUE(read.held[upgrade::kIntegerA]) << integer.text;
        EXPECT_TRUE(upgrade::SameSetting(read, RoundTrip(read), upgrade::kIntegerA)) << integer.text;
    }
}

TEST(SettingsFile, Windows1250WithCrLfAndOnlyTheItemsRead) {
    SavedSettings settings = AllHeld("A\0BCDEFG");
    settings.held[2] = false;  // "c" was not read
    settings.held[upgrade::kIntegerA] = false;
    upgrade::InstrumentFacts facts;
    facts.identified = true;
    facts.typeCode = 0x1B2;
    facts.hardwareVersion = 3;
    facts.softwareVersion = 105;
    const std::string path = TempFolder() + "/facts.txt";
    std::string error;
    ASSERT_EQ(upgrade::WriteSettingsFile(path.c_str(), settings, facts, &error), 0) << error;
    const std::string bytes = ReadFile(path);

    for (std::size_t at = bytes.find('\n'); at != std::string::npos; at = bytes.find('\n', at + 1))
        ASSERT_TRUE(at > 0 && bytes[at - 1] == '\r') << "a line end without CR at " << at;
    EXPECT_NE(bytes.find("Kopia ustawie\xF1 przyrz\xB9"
                         "du VGX52\r\n"),
              std::string::npos);
    EXPECT_EQ(bytes.find("\xC4\x85"), std::string::npos) << "UTF-8 in the file";
    EXPECT_NE(bytes.find("model VGX52; H.Ver.:3; S.Ver.:105\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("# KodTypu 01B2\r\n# WersjaSprzetu 3\r\n# WersjaOprogramowania 105\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("# NumerSeryjnyHex 4100424344454647\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("# NrId 255\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("# Nastawa_g 287.055\r\n"), std::string::npos);
    EXPECT_EQ(bytes.find("# Nastawa_c "), std::string::npos);
    EXPECT_EQ(bytes.find("# NastawaCalkowita_A "), std::string::npos);
    EXPECT_NE(bytes.find("Nie odczytano z przyrz\xB9"
                         "du: c, A\r\n"),
              std::string::npos);

    SavedSettings back;
    ASSERT_EQ(upgrade::ReadSettingsFile(path.c_str(), back, nullptr, &error), 0);
    for (int item = 0; item < upgrade::kSettingItems; ++item)
        EXPECT_EQ(back.held[item], settings.held[item]) << upgrade::SettingName(item);
    EXPECT_EQ(std::memcmp(back.serial, "A\0BCDEFG", 8), 0);
}

// An operator's edits: keys in any case, values that fit are taken, the
// others left out with their line; anything else is a comment.
TEST(SettingsFile, EditedLinesAreTakenOrLeftOutWithTheirLine) {
    const std::string path = WriteTempFile("edited.txt",
                                           "comment line\r\n"
                                           "# nastawa_B  1.25e2\n"
                                           "#NASTAWA_c -7\r\n"
                                           "# Nastawa_d nan\r\n"
                                           "# Nastawa_e 1e39\r\n"
                                           "# Nastawa_n 5\r\n"
                                           "# NastawaCalkowita_A 40000\r\n"
                                           "# NrId 256\r\n"
                                           "# NumerSeryjny 123456789\r\n"
                                           "# NumerSeryjny VG52\r\n"
                                           "# NumerSeryjnyHex 41424344\r\n"
                                           "# Nastawa_f 3.5 trailing words\r\n"
                                           "   # Nastawa_g 9 (not at the line start)\r\n");
    SavedSettings back;
    std::vector<std::string> ignored;
    std::string error;
    ASSERT_EQ(upgrade::ReadSettingsFile(path.c_str(), back, &ignored, &error), 0) << error;
    EXPECT_EQ(back.reals[1], 125.0);
    EXPECT_EQ(back.reals[2], -7.0);
    EXPECT_EQ(back.reals[5], 3.5);
    EXPECT_EQ(back.integerA, 40000 - 65536);  // as the instrument gives its 16 bits back
    EXPECT_STREQ(back.serial, "VG52    ");
    bool held[upgrade::kSettingItems] = {};
    held[1] = held[2] = held[5] = held[upgrade::kIntegerA] = held[upgrade::kSerialNumber] = true;
    for (int item = 0; item < upgrade::kSettingItems; ++item)
        EXPECT_EQ(back.held[item], held[item]) << upgrade::SettingName(item);
    const std::vector<std::string> expected = {
        "line 4: not a finite single-precision number: nan", "line 5: not a finite single-precision number: 1e39",
        "line 8: not an ID from 0 to 255: 256", "line 9: a serial number has 1 to 8 characters: 123456789",
        "line 11: a serial number in hex has 16 hex digits: 41424344"};
    EXPECT_EQ(ignored, expected);
}

TEST(SettingsFile, UnreadableOrUnwritableFileSaysWhy) {
    SavedSettings back;
    std::string error;
    EXPECT_EQ(upgrade::ReadSettingsFile((TempFolder() + "/absent.txt").c_str(), back, nullptr, &error), -1);
    EXPECT_FALSE(error.empty());
    error.clear();
    EXPECT_EQ(upgrade::WriteSettingsFile((TempFolder() + "/no folder/s.txt").c_str(), AllHeld("AB      "),
                                         upgrade::InstrumentFacts(), &error),
              -1);
    EXPECT_FALSE(error.empty());
}

}  // namespace
