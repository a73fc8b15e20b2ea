#include <cerrno>
#include <cstring>

#include <gtest/gtest.h>
#include <iconv.h>
#include <sys/stat.h>

#include <dirent.h>

#include <cstring>
#include <limits>
#include <vector>

#include "platform/textfile.h"
#include "platform/utf8.h"
#include "test_support.h"

using namespace platform;
using platform_test::ReadFile;
using platform_test::ScopedEnv;
using platform_test::TempDir;
using platform_test::WriteFile;

namespace {

// glibc's own CP1250 converter as an independent reference.
std::string IconvToUtf8(unsigned char byte, bool &ok) {
    iconv_t cd = iconv_open("UTF-8", "CP1250");
    char in[1] = {static_cast<char>(byte)};
    char out[8];
    char *ip = in, *op = out;
    std::size_t il = 1, ol = sizeof out;
    ok = cd != reinterpret_cast<iconv_t>(-1) && iconv(cd, &ip, &il, &op, &ol) != static_cast<std::size_t>(-1);
    if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
    return std::string(out, static_cast<std::size_t>(op - out));
}

TEST(Cp1250Test, PolishTextsHaveTheirWindows1250Bytes) {
    EXPECT_EQ(Utf8ToCp1250("Zbiór konfiguracyjny"), "Zbi\xF3r konfiguracyjny");
    EXPECT_EQ(Utf8ToCp1250("Numer złącza"),
              "Numer z\xB3\xB9"
              "cza");
    EXPECT_EQ(Utf8ToCp1250("20°C"),
              "20\xB0"
              "C");
    EXPECT_EQ(Utf8ToCp1250("ĄĆĘŁŃÓŚŹŻąćęłńóśźż"),
              "\xA5\xC6\xCA\xA3\xD1\xD3\x8C\x8F\xAF\xB9\xE6\xEA\xB3\xF1\xF3\x9C\x9F\xBF");
    EXPECT_EQ(Cp1250ToUtf8("Zbi\xF3r konfiguracyjny"), "Zbiór konfiguracyjny");
    EXPECT_EQ(Cp1250ToUtf8("Numer z\xB3\xB9"
                           "cza"),
              "Numer złącza");
    EXPECT_EQ(Cp1250ToUtf8("Wyst\xB9pi\xB3 b\xB3\xB9"
                           "d."),
              "Wystąpił błąd.");
}

TEST(Cp1250Test, FullTableAgreesWithIconvAndEveryByteRoundTrips) {
    int compared = 0;
    for (int b = 0; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        const std::string utf8 = Cp1250ToUtf8(byte);
        bool ok = false;
        const std::string reference = IconvToUtf8(static_cast<unsigned char>(b), ok);
        if (ok) {
            EXPECT_EQ(utf8, reference) << "byte 0x" << std::hex << b;
            ++compared;
        }
        EXPECT_EQ(Utf8ToCp1250(utf8), byte) << "byte 0x" << std::hex << b;
    }
    EXPECT_GE(compared, 251);  // all but the five unassigned bytes
}

TEST(Cp1250Test, UnmappedCharactersAndBrokenUtf8BecomeQuestionMarks) {
    EXPECT_EQ(Utf8ToCp1250("€"), "\x80");
    EXPECT_EQ(Utf8ToCp1250("日本"), "??");
    EXPECT_EQ(Utf8ToCp1250("ñ"), "?");    // Latin-1 letter absent from 1250
    EXPECT_EQ(Utf8ToCp1250("😀x"), "?x");  // outside the BMP
    EXPECT_EQ(Utf8ToCp1250("a\xFF"
                           "b"),
              "a?b");  // never valid in UTF-8
    EXPECT_EQ(Utf8ToCp1250("a\x80"
                           "b"),
              "a?b");  // stray continuation byte
    EXPECT_EQ(Utf8ToCp1250("a\xE2\x82"
                           "b"),
              "a?b");                                // cut sequence: one mark
    EXPECT_EQ(Utf8ToCp1250("a\xC5"), "a?");          // cut at the end of the text
    EXPECT_EQ(Utf8ToCp1250("\xC0\xAF"), "??");       // over-long form of '/'
    EXPECT_EQ(Utf8ToCp1250("\xED\xA0\x80"), "???");  // surrogate
    EXPECT_EQ(Utf8ToCp1250(std::string("a\0b", 3)), std::string("a\0b", 3));
}

// "ą" is 2 bytes, "€" 3, "😀" 4.
TEST(Utf8Test, CutsEndAtTheLastWholeCharacterWithinBytesAndCharacters) {
    constexpr std::size_t kAll = std::numeric_limits<std::size_t>::max();
    struct Case {
        std::string text;
        std::size_t maxBytes, maxChars, length;
    } cases[] = {
        {"abc", 2, kAll, 2},
        {"aąb", 2, kAll, 1},  // "ą" would end at byte 3
        {"aąb", 3, kAll, 3},
        {"€€", 5, kAll, 3},  // never 2 of the second euro's 3 bytes
        {"x😀", 4, kAll, 1},
        {"x😀", 5, kAll, 5},
        {"ąąą", 100, 2, 4},  // characters, not bytes
        {"ąąą", 5, 2, 4},
        {"a\xC4", 2, kAll, 2},  // a lead byte with nothing after it is a byte of its own
        {"a\xC4\x85", 2, kAll, 1},
        {"\x80\x80\x80", 2, kAll, 2},  // stray continuation bytes, one by one
        {"\xFF"
         "b",
         1, kAll, 1},
        {"", 5, kAll, 0},
        {"ą", 0, kAll, 0},
    };
    for (const Case &c : cases)
        EXPECT_EQ(Utf8CutLength(c.text, c.maxBytes, c.maxChars), c.length) << c.text << " " << c.maxBytes;
    EXPECT_EQ(Utf8CharCount("zażółć"), 6u);
    EXPECT_EQ(Utf8CharCount("a\xC4\x80\x80"), 3u);
}

// The buffer sits between guard bytes that must survive every fill.
TEST(Utf8Test, TextBufferNeverWritesPastItsSizeAndNothingFollowsACutPiece) {
    struct Case {
        std::size_t size;
        std::vector<std::string> pieces;
        std::string text;
        bool cut;
    } cases[] = {
        {6, {"ab", "cd"}, "abcd", false},
        {5, {"ab", "cd"}, "abcd", false},
        {4, {"ab", "cd"}, "abc", true},
        {5, {"aą", "x"}, "aąx", false},
        {4, {"a", "ąą"}, "aą", true},
        {5, {"aą", "ę", "x"}, "aą", true},  // "x" would fit the byte left, but "ę" was cut
        {3, {"aą"}, "a", true},
        {1, {"a"}, "", true},
        {3, {}, "", false},
    };
    for (const Case &c : cases) {
        char memory[16];
        std::memset(memory, '#', sizeof memory);
        char *out = memory + 4;
        TextBuffer buffer(out, c.size);
        for (const std::string &piece : c.pieces) buffer.Append(piece);
        EXPECT_EQ(std::string(out), c.text) << c.size;
        EXPECT_EQ(buffer.Length(), c.text.size()) << c.size;
        EXPECT_EQ(buffer.WasCut(), c.cut) << c.size;
        EXPECT_EQ(std::string(memory, 4), "####") << c.size;
        EXPECT_EQ(std::string(out + c.size, memory + sizeof memory), std::string(12 - c.size, '#')) << c.size;
    }
    char untouched = '#';
    TextBuffer(&untouched, 0).Append("x");
    EXPECT_EQ(untouched, '#');
    EXPECT_TRUE(TextBuffer(nullptr, 8).Append("x").WasCut());
    EXPECT_EQ(CopyText("zażółć", &untouched, 1), 0u);
    EXPECT_EQ(untouched, '\0');
}

class TextFileTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string Path(const std::string &name) { return dir / name; }

    std::vector<std::pair<int, std::string>> ReadAll(const std::string &bytes, std::size_t max,
                                                     Encoding enc = Encoding::Cp1250) {
        WriteFile(Path("in.txt"), bytes);
        TextFileReader r;
        EXPECT_TRUE(r.Open(Path("in.txt"), enc));
        std::vector<std::pair<int, std::string>> lines;
        std::string line;
        for (int guard = 0; guard < 100; ++guard) {
            const int n = r.ReadLine(line, max);
            lines.emplace_back(n, line);
            if (n < 0) break;
        }
        return lines;
    }
};

using Lines = std::vector<std::pair<int, std::string>>;

TEST_F(TextFileTest, ReadsLfCrLfAndALastLineWithoutLineEnd) {
    EXPECT_EQ(ReadAll("one\r\ntwo\n\r\nlast", 600), (Lines{{3, "one"}, {3, "two"}, {0, ""}, {4, "last"}, {-2, ""}}));
    EXPECT_EQ(ReadAll("", 600), (Lines{{-2, ""}}));
    EXPECT_EQ(ReadAll("\n", 600), (Lines{{0, ""}, {-2, ""}}));
    // A lone CR inside a line is data.
    EXPECT_EQ(ReadAll("a\rb\n", 600), (Lines{{3, "a\rb"}, {-2, ""}}));
}

TEST_F(TextFileTest, OverLongLinesAreCutAndTheNextLineIsReadWhole) {
    EXPECT_EQ(ReadAll("abcdefghij\nnext\n", 5), (Lines{{5, "abcde"}, {4, "next"}, {-2, ""}}));
    // The CR of CR LF sits just past the limit.
    EXPECT_EQ(ReadAll("abcde\r\nxy\r\n", 5), (Lines{{5, "abcde"}, {2, "xy"}, {-2, ""}}));
    EXPECT_EQ(ReadAll("abcdef\r\nxy", 5), (Lines{{5, "abcde"}, {2, "xy"}, {-2, ""}}));
    // Firmware lines are read 62 characters at a time.
    const std::string longHex = ":" + std::string(100, 'A');
    EXPECT_EQ(ReadAll(longHex + "\r\n:00000001FF\r\n", 62),
              (Lines{{62, longHex.substr(0, 62)}, {11, ":00000001FF"}, {-2, ""}}));
    // A megabyte without a line end does not grow the result past the limit.
    const Lines big = ReadAll(std::string(1 << 20, 'x') + "\n#key value\n", 600);
    ASSERT_EQ(big.size(), 3u);
    EXPECT_EQ(big[0].first, 600);
    EXPECT_EQ(big[0].second.size(), 600u);
    EXPECT_EQ(big[1].second, "#key value");
}

TEST_F(TextFileTest, Windows1250FilesAreReadAsUtf8AndCountedInFileBytes) {
    EXPECT_EQ(ReadAll("Zbi\xF3r\r\n", 600), (Lines{{5, "Zbiór"}, {-2, ""}}));
    EXPECT_EQ(ReadAll("\xB3\xB9"
                      "cza",
                      2),
              (Lines{{2, "łą"}, {-2, ""}}));
    // A UTF-8 file is never cut inside a character.
    EXPECT_EQ(ReadAll("zł\n", 2, Encoding::Utf8), (Lines{{1, "z"}, {-2, ""}}));
    EXPECT_EQ(ReadAll("zł\n", 3, Encoding::Utf8), (Lines{{3, "zł"}, {-2, ""}}));
}

TEST_F(TextFileTest, ReaderWithoutAFileReportsErrors) {
    TextFileReader r;
    std::string line = "stale";
    EXPECT_EQ(r.ReadLine(line, 10), -1);
    EXPECT_TRUE(line.empty());
    EXPECT_FALSE(r.Open(Path("absent.txt")));
    EXPECT_FALSE(r.IsOpen());
}

TEST_F(TextFileTest, WriterStoresCrLfAndWindows1250) {
    TextFileWriter w;
    ASSERT_TRUE(w.Open(Path("out.kfg"), TextFileWriter::Mode::Truncate));
    EXPECT_TRUE(w.Write("#Port 3\nNumer złącza\r\n"));
    EXPECT_TRUE(w.Write("split\r"));
    EXPECT_TRUE(w.Write("\nend\n"));
    EXPECT_TRUE(w.WriteRaw(std::string("\n\xB0\0", 3)));
    EXPECT_EQ(w.Close(), 0);
    EXPECT_EQ(ReadFile(Path("out.kfg")), std::string("#Port 3\r\nNumer z\xB3\xB9"
                                                     "cza\r\nsplit\r\nend\r\n\n\xB0\0",
                                                     38));

    ASSERT_TRUE(w.Open(Path("utf8.txt"), TextFileWriter::Mode::Truncate, Encoding::Utf8));
    EXPECT_TRUE(w.Write("ł\n"));
    EXPECT_EQ(w.Close(), 0);
    EXPECT_EQ(ReadFile(Path("utf8.txt")), "ł\r\n");
}

TEST_F(TextFileTest, AppendNeverCreatesAFile) {
    TextFileWriter w;
    EXPECT_FALSE(w.Open(Path("assoc.kfg"), TextFileWriter::Mode::Append));
    EXPECT_FALSE(w.Write("x\n"));
    EXPECT_EQ(w.Close(), -1);
    struct stat st;
    EXPECT_NE(stat(Path("assoc.kfg").c_str(), &st), 0);

    WriteFile(Path("assoc.kfg"), "old\r\n");
    ASSERT_TRUE(w.Open(Path("assoc.kfg"), TextFileWriter::Mode::Append));
    EXPECT_TRUE(w.Write("new\n"));
    EXPECT_EQ(w.Close(), 0);
    EXPECT_EQ(ReadFile(Path("assoc.kfg")), "old\r\nnew\r\n");
}

int CountEntries(const std::string &folder) {
    int n = 0;
    DIR *d = opendir(folder.c_str());
    while (dirent *e = d ? readdir(d) : nullptr)
        if (std::string(e->d_name) != "." && std::string(e->d_name) != "..") ++n;
    if (d) closedir(d);
    return n;
}

TEST_F(TextFileTest, AtomicReplaceKeepsTheOldFileUntilClosed) {
    WriteFile(Path("VGX52.kfg"), "old\r\n");
    chmod(Path("VGX52.kfg").c_str(), 0640);
    {
        TextFileWriter w;
        ASSERT_TRUE(w.Open(Path("VGX52.kfg"), TextFileWriter::Mode::AtomicReplace));
        EXPECT_TRUE(w.Write("half written"));
        EXPECT_EQ(ReadFile(Path("VGX52.kfg")), "old\r\n");
    }  // destroyed without Close: the replacement is dropped
    EXPECT_EQ(ReadFile(Path("VGX52.kfg")), "old\r\n");
    EXPECT_EQ(CountEntries(dir.path()), 1);

    TextFileWriter w;
    ASSERT_TRUE(w.Open(Path("VGX52.kfg"), TextFileWriter::Mode::AtomicReplace));
    EXPECT_TRUE(w.Write("new\n"));
    EXPECT_EQ(w.Close(), 0);
    EXPECT_EQ(ReadFile(Path("VGX52.kfg")), "new\r\n");
    EXPECT_EQ(CountEntries(dir.path()), 1);
    struct stat st;
    ASSERT_EQ(stat(Path("VGX52.kfg").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);

    EXPECT_FALSE(w.Open(Path("no/such/folder/x.kfg"), TextFileWriter::Mode::AtomicReplace));
}

TEST_F(TextFileTest, CloseReportsDataThatNeverReachedTheDisk) {
    TextFileWriter w;
    ASSERT_TRUE(w.Open("/dev/full", TextFileWriter::Mode::Truncate));
    EXPECT_EQ(w.Reason(), "");
    w.Write(std::string(100, 'x'));  // may sit in the buffer for now
    EXPECT_EQ(w.Close(), -1);
    EXPECT_EQ(w.Reason(), std::strerror(ENOSPC));
}

// A file that is not saved is reported with the system's reason: each way
// of failing keeps its own.
TEST_F(TextFileTest, AFailedWriteKeepsTheSystemsReason) {
    WriteFile(Path("file"), "");
    mkdir(Path("folder").c_str(), 0755);
    mkdir(Path("taken.kfg").c_str(), 0755);
    WriteFile(Path("taken.kfg/inside"), "");
    struct Case {
        std::string path;
        TextFileWriter::Mode mode;
        int error;
    } cases[] = {
        {Path("no/such/x.kfg"), TextFileWriter::Mode::AtomicReplace, ENOENT},
        {Path("no/such/x.kfg"), TextFileWriter::Mode::Truncate, ENOENT},
        {Path("absent.kfg"), TextFileWriter::Mode::Append, ENOENT},
        {Path("file/x.kfg"), TextFileWriter::Mode::AtomicReplace, ENOTDIR},
        {Path("folder"), TextFileWriter::Mode::Append, EISDIR},
        {"/dev/null", TextFileWriter::Mode::Append, EINVAL},
        {"", TextFileWriter::Mode::Truncate, ENOENT},
    };
    for (const Case &c : cases) {
        TextFileWriter w;
        EXPECT_FALSE(w.Open(c.path, c.mode)) << c.path;
        EXPECT_EQ(w.Reason(), std::strerror(c.error)) << c.path;
    }
    // The new file is complete, but a folder holds the old one's place.
    TextFileWriter w;
    ASSERT_TRUE(w.Open(Path("taken.kfg"), TextFileWriter::Mode::AtomicReplace));
    EXPECT_TRUE(w.Write("new\n"));
    EXPECT_EQ(w.Close(), -1);
    EXPECT_EQ(w.Reason(), std::strerror(EISDIR));
    EXPECT_EQ(CountEntries(Path("taken.kfg")), 1) << "nothing left behind";
    EXPECT_EQ(CountEntries(dir.path()), 3);
    // A success forgets an earlier failure.
    ASSERT_TRUE(w.Open(Path("fine.kfg"), TextFileWriter::Mode::AtomicReplace));
    EXPECT_EQ(w.Reason(), "");
    EXPECT_EQ(w.Close(), 0);
    EXPECT_EQ(w.Reason(), "");
}

TEST_F(TextFileTest, WritingToAFreshDriveMakesTheDriveButAppendCreatesNothing) {
    ScopedEnv env("VGX52_ROOT", Path("fresh"));
    TextFileWriter w;
    EXPECT_FALSE(w.Open("C:\\Korvi70 Programs Associates.kfg", TextFileWriter::Mode::Append));
    struct stat st;
    EXPECT_NE(stat(Path("fresh").c_str(), &st), 0);
    ASSERT_TRUE(w.Open("C:\\Korvi70.Kfg", TextFileWriter::Mode::Truncate));
    EXPECT_TRUE(w.Write("#TypLacza 0\n"));
    EXPECT_EQ(w.Close(), 0);
    EXPECT_EQ(ReadFile(Path("fresh/c/Korvi70.Kfg")), "#TypLacza 0\r\n");
}

TEST_F(TextFileTest, WindowsPathsAreOpenedUnderTheDriveRoot) {
    ScopedEnv env("VGX52_ROOT", dir.path());
    mkdir(Path("c").c_str(), 0755);
    mkdir(Path("c/ProgramData").c_str(), 0755);
    TextFileWriter w;
    ASSERT_TRUE(w.Open("C:\\PROGRAMDATA\\VGX52.kfg", TextFileWriter::Mode::AtomicReplace));
    EXPECT_TRUE(w.Write("#Okres 1.0\n"));
    EXPECT_EQ(w.Close(), 0);
    EXPECT_EQ(ReadFile(Path("c/ProgramData/VGX52.kfg")), "#Okres 1.0\r\n");
    TextFileReader r;
    ASSERT_TRUE(r.Open("c:\\programdata\\vgx52.KFG"));
    std::string line;
    EXPECT_EQ(r.ReadLine(line, 600), 10);
    EXPECT_EQ(line, "#Okres 1.0");
}

}  // namespace
