#include "toolvane/serial_associates.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "tests/support/drive_path.h"
#include "toolvane/folders.h"

namespace {

namespace fs = std::filesystem;

constexpr const char *kAssociatesPath = "C:\\ProgramData\\BRANDOLUX SoftWare Data\\serial number associates.txt";

size_t Characters(const std::string &utf8) {
    size_t count = 0;
    for (const char c : utf8)
        if ((static_cast<unsigned char>(c) & 0xC0u) != 0x80u) ++count;
    return count;
}

class SerialAssociates : public ::testing::Test {
protected:
    void SetUp() override {
        std::string folder = (fs::temp_directory_path() / "toolvane-assoc-XXXXXX").string();
        ASSERT_NE(mkdtemp(folder.data()), nullptr);
        root_ = folder;
        setenv("VGX52_ROOT", root_.string().c_str(), 1);
        fs::create_directories(DataFolder());
        std::snprintf(Toolvane_ZbiorSkojarzenNumerowSeryjnych, sizeof Toolvane_ZbiorSkojarzenNumerowSeryjnych, "%s",
                      kAssociatesPath);
    }

    void TearDown() override {
        Toolvane_ZbiorSkojarzenNumerowSeryjnych[0] = '\0';
        unsetenv("VGX52_ROOT");
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }

    fs::path DataFolder() const {
        return testdrive::HostPath(root_.string(), "C:\\ProgramData\\BRANDOLUX SoftWare Data");
    }

    // Lines are Windows-1250 bytes; each ends with CR LF.
    void WriteFile(const std::vector<std::string> &lines) {
        std::ofstream out(DataFolder() / "serial number associates.txt", std::ios::binary | std::ios::trunc);
        for (const std::string &line : lines) out << line << "\r\n";
    }

    int Load(const std::vector<std::string> &lines) {
        WriteFile(lines);
        return Toolvane_ReadSerialAssociatesFile();
    }

    // The whole comment, through the getter that is told the buffer's size.
    static std::string Short(int index) {
        constexpr size_t size = Toolvane_RozmiarKomentarzaKrotkiego;
        char out[size + 8];
        std::memset(out, '#', sizeof out);
        EXPECT_EQ(Toolvane_GetShortCommentFromIndexN(index, out, size), 0) << index;
        for (size_t i = size; i < sizeof out; ++i) EXPECT_EQ(out[i], '#') << "written past the buffer";
        return std::string(out, strnlen(out, size));
    }

    static std::string Full(int index) {
        constexpr size_t size = Toolvane_RozmiarKomentarzaPelnego;
        char out[size + 8];
        std::memset(out, '#', sizeof out);
        EXPECT_EQ(Toolvane_GetFullCommentFromIndexN(index, out, size), 0) << index;
        for (size_t i = size; i < sizeof out; ++i) EXPECT_EQ(out[i], '#') << "written past the buffer";
        return std::string(out, strnlen(out, size));
    }

    static std::string Serial(int n) {
        char text[16];
        std::snprintf(text, sizeof text, "S%07d", n);
        return text;
    }

    fs::path root_;
};

TEST_F(SerialAssociates, ReadsTheLineFormat) {
    ASSERT_EQ(Load({"#A1234567 \"krótki\" \"długi komentarz\"",
                    "#B7654321\t  ignored \"second\" ignored too \"its long one\" trailing"}),
              0);
    EXPECT_EQ(Toolvane_FindIndexForSerialNumber("A1234567"), 0);
    EXPECT_EQ(Toolvane_FindIndexForSerialNumber("B7654321"), 1);
    EXPECT_EQ(Short(1), "second");
    EXPECT_EQ(Full(1), "its long one");
}

TEST_F(SerialAssociates, PolishLettersArriveAsUtf8) {
    // "Łódź" and "Żółć" in Windows-1250.
    ASSERT_EQ(Load({"#A1 \"\xA3\xF3\x64\x9F\" \"\xAF\xF3\xB3\xE6\""}), 0);
    EXPECT_EQ(Short(0), "Łódź");
    EXPECT_EQ(Full(0), "Żółć");
}

TEST_F(SerialAssociates, FirstLineOfASerialNumberWins) {
    ASSERT_EQ(Load({"#A1234567 \"first\" \"first long\"", "#B1 \"b\" \"b long\"",
                    "#A1234567 \"second\" \"second long\"", "#a1234567 \"third\" \"third long\""}),
              0);
    EXPECT_EQ(Toolvane_FindIndexForSerialNumber("A1234567"), 0);
    EXPECT_EQ(Short(0), "first");
    EXPECT_EQ(Full(0), "first long");
    EXPECT_EQ(Toolvane_FindIndexForSerialNumber("B1"), 1);
    EXPECT_EQ(Toolvane_FindIndexForSerialNumber("b1"), 1);
    char out[33];
    EXPECT_NE(Toolvane_GetShortCommentFromIndex(2, out), 0);  // only two entries
}

TEST_F(SerialAssociates, LookUpIgnoresLetterCase) {
    ASSERT_EQ(Load({"#a1234567 \"x\" \"y\"", "#AbCdEf \"x\" \"y\""}), 0);
    EXPECT_EQ(Toolvane_FindIndexForSerialNumber("A1234567"), 0);
    EXPECT_EQ(Toolvane_FindIndexForSerialNumber("a1234567"), 0);
    EXPECT_EQ(Toolvane_FindIndexForSerialNumber("aBcDeF"), 1);
    EXPECT_EQ(Toolvane_FindIndexForSerialNumber("ABCDE"), -1);
    EXPECT_EQ(Toolvane_FindIndexForSerialNumber("A12345678"), -1);
    EXPECT_EQ(Toolvane_FindIndexForSerialNumber(""), -1);
    EXPECT_EQ(Toolvane_FindIndexForSerialNumber(nullptr), -1);
}

TEST_F(SerialAssociates, SeventyLinesFillTheTableWithTheFirst63Distinct) {
    std::vector<std::string> lines;
    for (int n = 0; n < 70; ++n) {
        // Every twentieth line repeats an earlier serial number in other case.
        const std::string serial = (n % 20 == 19) ? "s" + Serial(n - 5).substr(1) : Serial(n);
        lines.push_back("#" + serial + " \"short " + std::to_string(n) + "\" \"long " + std::to_string(n) + "\"");
    }
    ASSERT_EQ(Load(lines), 0);
    int index = 0;
    for (int n = 0; n < 70; ++n) {
        const int found = Toolvane_FindIndexForSerialNumber(Serial(n).c_str());
        if (n % 20 == 19) {
            EXPECT_EQ(found, -1) << n;
        } else if (index < 63) {
            ASSERT_EQ(found, index) << n;
            EXPECT_EQ(Short(index), "short " + std::to_string(n));
            EXPECT_EQ(Full(index), "long " + std::to_string(n));
            ++index;
        } else {
            EXPECT_EQ(found, -1) << "line " << n << " is past the full table";
        }
    }
    EXPECT_EQ(index, 63);
    EXPECT_EQ(Toolvane_AddSerialNumberAssociation("Z", "z", "z"), -1);
}

TEST_F(SerialAssociates, MissingQuotesGiveEmptyCommentsNeverStaleOnes) {
    ASSERT_EQ(Load({"#FULL \"full short\" \"full long\"", "#NONE no quotes at all", "#ONE \"only an opening quote",
                    "#TWO \"short only\" no long", "#THREE \"short\" \"unterminated long",
                    "#FULL2 \"again\" \"again long\""}),
              0);
    const char *serials[] = {"NONE", "ONE", "TWO", "THREE"};
    const char *shorts[] = {"", "", "short only", "short"};
    for (int i = 0; i < 4; ++i) {
        const int index = Toolvane_FindIndexForSerialNumber(serials[i]);
        ASSERT_EQ(index, i + 1) << serials[i];
        EXPECT_EQ(Short(index), shorts[i]) << serials[i];
        EXPECT_EQ(Full(index), "") << serials[i];
    }
    EXPECT_EQ(Full(5), "again long");
}

TEST_F(SerialAssociates, LinesWithoutMarkerOrSerialAreIgnored) {
    ASSERT_EQ(Load({"", "A1 \"no\" \"marker\"", " #A2 \"indented\" \"marker\"", "#", "#   \t ", "#A3 \"yes\" \"yes\""}),
              0);
    EXPECT_EQ(Toolvane_FindIndexForSerialNumber("A3"), 0);
    EXPECT_EQ(Toolvane_FindIndexForSerialNumber("A1"), -1);
    EXPECT_EQ(Toolvane_FindIndexForSerialNumber("A2"), -1);
    char out[33];
    EXPECT_NE(Toolvane_GetShortCommentFromIndex(1, out), 0);
}

TEST_F(SerialAssociates, OverLongFieldsAreCutToTheirLengths) {
    const std::string shortText(100, 's');
    const std::string longText(400, 'l');
    ASSERT_EQ(Load({"#ABCDEFGHIJKL \"" + shortText + "\" \"" + longText + "\"",
                    "#ABCDEFGHXX \"later\" \"same first eight\""}),
              0);
    EXPECT_EQ(Toolvane_FindIndexForSerialNumber("abcdefgh"), 0);
    EXPECT_EQ(Toolvane_FindIndexForSerialNumber("ABCDEFGHIJKL"), -1);
    EXPECT_EQ(Short(0), std::string(32, 's'));
    EXPECT_EQ(Full(0), std::string(256, 'l'));
    char out[33];
    EXPECT_NE(Toolvane_GetShortCommentFromIndex(1, out), 0);  // second line is the same serial
}

TEST_F(SerialAssociates, FieldsKeepTheirLengthsInCharactersWhateverTheLetters) {
    // Windows-1250 bytes: "ż" is 2 bytes in UTF-8, the euro sign and the low quote 3.
    auto repeat = [](const std::string &text, int times) {
        std::string out;
        for (int i = 0; i < times; ++i) out += text;
        return out;
    };
    struct Case {
        std::string serial, shortComment, longComment;  // as in the file
        std::string serialKept, shortKept, longKept;    // UTF-8
    } cases[] = {
        {"\xBF\xBF\xBF\xBF\xBF\xBF\xBF\xBF\xBF", repeat("\xBF", 33), repeat("\x80", 257), repeat("ż", 8),
         repeat("ż", 32), repeat("€", 256)},
        {"ABCDEFG\x84", "a" + repeat("\x84", 40), repeat("b", 255) + "\xBF\xBF", "ABCDEFG„", "a" + repeat("„", 31),
         repeat("b", 255) + "ż"},
    };
    for (const Case &c : cases) {
        ASSERT_EQ(Load({"#" + c.serial + " \"" + c.shortComment + "\" \"" + c.longComment + "\""}), 0);
        EXPECT_EQ(Toolvane_FindIndexForSerialNumber(c.serialKept.c_str()), 0) << c.serialKept;
        EXPECT_EQ(Short(0), c.shortKept);
        EXPECT_EQ(Full(0), c.longKept);
    }
}

TEST_F(SerialAssociates, LineLongerThan600CharactersIsCut) {
    // The closing quote of the long comment lies beyond the 600 characters read.
    const std::string line = "#LONG \"s\" \"" + std::string(700, 'x') + "\"";
    ASSERT_EQ(Load({line, "#NEXT \"n\" \"next long\""}), 0);
    EXPECT_EQ(Toolvane_FindIndexForSerialNumber("LONG"), 0);
    EXPECT_EQ(Short(0), "s");
    EXPECT_EQ(Full(0), "");
    EXPECT_EQ(Toolvane_FindIndexForSerialNumber("NEXT"), 1);
    EXPECT_EQ(Full(1), "next long");
}

TEST_F(SerialAssociates, ReadingAgainReplacesTheTable) {
    ASSERT_EQ(Load({"#OLD1 \"a\" \"b\"", "#OLD2 \"c\" \"d\""}), 0);
    ASSERT_EQ(Load({"#NEW1 \"e\" \"f\""}), 0);
    EXPECT_EQ(Toolvane_FindIndexForSerialNumber("OLD1"), -1);
    EXPECT_EQ(Toolvane_FindIndexForSerialNumber("NEW1"), 0);
    EXPECT_EQ(Short(0), "e");
    ASSERT_EQ(Load({}), 0);
    EXPECT_EQ(Toolvane_FindIndexForSerialNumber("NEW1"), -1);
}

TEST_F(SerialAssociates, MissingFileKeepsTheTable) {
    ASSERT_EQ(Load({"#KEEP \"kept\" \"kept long\""}), 0);
    fs::remove(DataFolder() / "serial number associates.txt");
    EXPECT_EQ(Toolvane_ReadSerialAssociatesFile(), 2);
    EXPECT_EQ(Toolvane_FindIndexForSerialNumber("KEEP"), 0);
    EXPECT_EQ(Short(0), "kept");

    // A folder or a named pipe in its place is no file either.
    const fs::path file = DataFolder() / "serial number associates.txt";
    for (const bool pipe : {false, true}) {
        ASSERT_EQ(pipe ? mkfifo(file.string().c_str(), 0600) : mkdir(file.string().c_str(), 0700), 0);
        EXPECT_EQ(Toolvane_ReadSerialAssociatesFile(), 2) << (pipe ? "pipe" : "folder");
        EXPECT_EQ(Toolvane_FindIndexForSerialNumber("KEEP"), 0);
        fs::remove(file);
    }

    Toolvane_ZbiorSkojarzenNumerowSeryjnych[0] = '\0';  // no path on old Windows versions
    EXPECT_EQ(Toolvane_ReadSerialAssociatesFile(), 2);
    EXPECT_EQ(Toolvane_FindIndexForSerialNumber("KEEP"), 0);
}

TEST_F(SerialAssociates, IndexOutsideTheTableGivesAnEmptyText) {
    ASSERT_EQ(Load({"#ONE \"a\" \"b\""}), 0);
    for (const int index : {-1, 1, 63, 1000, -2147483647 - 1}) {
        char shortOut[33] = "stale";
        char fullOut[257] = "stale";
        EXPECT_NE(Toolvane_GetShortCommentFromIndex(index, shortOut), 0) << index;
        EXPECT_STREQ(shortOut, "") << index;
        EXPECT_NE(Toolvane_GetFullCommentFromIndex(index, fullOut), 0) << index;
        EXPECT_STREQ(fullOut, "") << index;
    }
    EXPECT_NE(Toolvane_GetShortCommentFromIndex(0, nullptr), 0);
    EXPECT_NE(Toolvane_GetFullCommentFromIndex(0, nullptr), 0);
    char untouched = '#';
    EXPECT_NE(Toolvane_GetShortCommentFromIndexN(0, &untouched, 0), 0);
    EXPECT_NE(Toolvane_GetFullCommentFromIndexN(0, &untouched, -1), 0);
    EXPECT_EQ(untouched, '#');
}

TEST_F(SerialAssociates, AddedEntriesStayIntactUpToTheFullTable) {
    ASSERT_EQ(Load({}), 0);
    const std::string longComment(300, 'L');
    for (int n = 0; n < 63; ++n) {
        const std::string tag = std::to_string(n);
        ASSERT_EQ(Toolvane_AddSerialNumberAssociation(Serial(n).c_str(), ("short " + tag).c_str(),
                                                      (tag + longComment).c_str()),
                  0);
        for (int earlier = 0; earlier <= n; ++earlier) {
            ASSERT_EQ(Short(earlier), "short " + std::to_string(earlier));
            ASSERT_EQ(Full(earlier), (std::to_string(earlier) + longComment).substr(0, 256));
        }
    }
    EXPECT_EQ(Toolvane_AddSerialNumberAssociation("EXTRA", "x", "y"), -1);
    EXPECT_EQ(Toolvane_FindIndexForSerialNumber("EXTRA"), -1);
    EXPECT_EQ(Toolvane_FindIndexForSerialNumber(Serial(62).c_str()), 62);
}

TEST_F(SerialAssociates, AddRejectsMissingTexts) {
    ASSERT_EQ(Load({}), 0);
    EXPECT_EQ(Toolvane_AddSerialNumberAssociation(nullptr, "a", "b"), 1);
    EXPECT_EQ(Toolvane_AddSerialNumberAssociation("A", nullptr, "b"), 1);
    EXPECT_EQ(Toolvane_AddSerialNumberAssociation("A", "a", nullptr), 1);
    EXPECT_EQ(Toolvane_FindIndexForSerialNumber("A"), -1);
    EXPECT_EQ(Toolvane_AddSerialNumberAssociation("A", "a", "b"), 0);
    EXPECT_EQ(Toolvane_FindIndexForSerialNumber("A"), 0);
}

TEST_F(SerialAssociates, RandomBytesNeverOverrunTheFields) {
    std::mt19937 random(52);
    const char alphabet[] = {'#', '"', ' ', '\t', 'a', 'Z', '0', '\xA3', '\xBF', '\x9F', '\0', '\r', '\xFF'};
    for (int round = 0; round < 20; ++round) {
        std::vector<std::string> lines;
        for (int n = 0; n < 120; ++n) {
            std::string line = (random() % 4 != 0) ? "#" : "";
            const size_t length = random() % 900;
            for (size_t i = 0; i < length; ++i) line += alphabet[random() % sizeof alphabet];
            lines.push_back(line);
        }
        ASSERT_EQ(Load(lines), 0);
        for (int index = 0; index < Toolvane_MaksSkojarzen; ++index) {
            char probe[Toolvane_RozmiarKomentarzaKrotkiego];
            if (Toolvane_GetShortCommentFromIndex(index, probe) != 0) break;
            EXPECT_LE(Characters(Short(index)), 32u);
            EXPECT_LE(Characters(Full(index)), 256u);
        }
    }
}

}  // namespace
