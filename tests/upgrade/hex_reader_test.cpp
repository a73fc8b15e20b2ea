// The firmware reader: image, addresses, load limit and page count, and the
// refusal of damaged files with the caller's image left as it was.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include <random>
#include <string>
#include <vector>

#include "hex_text.h"
#include "upgrade/hex_reader.h"

namespace {

using namespace upgrade_test;

constexpr int kPage = 256;
constexpr int kLimit = 0x1E000;

class HexReader : public ::testing::Test {
protected:
    // Reads text written to a file; the image starts as 0x00 so that the
    // 0xFF fill shows, the page count as -7 so that an update shows.
    int Read(const std::string &text, int limit = kLimit, int pageSize = kPage) {
        image.assign(UpLoad_RozmiarObrazu, 0x00);
        pages = -7;
        return UpLoad_OdczytajZbiorHEX(WriteTempFile("f.hex", text).c_str(), image.data(), &pages, pageSize, limit);
    }
    bool Untouched() const {
        if (pages != -7) return false;
        for (unsigned char b : image)
            if (b != 0x00) return false;
        return true;
    }
    // The bytes at [address, address + count).
    std::vector<std::uint8_t> At(int address, int count) const {
        return {image.begin() + address, image.begin() + address + count};
    }
    int CountNotErased() const {
        int n = 0;
        for (unsigned char b : image) n += b != 0xFF;
        return n;
    }
    void ExpectRefused(const std::string &text, int line, const char *why, int limit = kLimit) {
        SCOPED_TRACE(why);
        EXPECT_EQ(Read(text, limit), UpLoad_ZbiorUszkodzony);
        EXPECT_EQ(UpLoad_LiniaBleduZbioru(), line);
        EXPECT_STRNE(UpLoad_OpisBleduZbioru(), "");
        EXPECT_TRUE(Untouched());
    }

    std::vector<unsigned char> image;
    int pages = 0;
};

TEST_F(HexReader, OnlyTheEndRecordGivesAnErasedImageAndNoPages) {
    ASSERT_EQ(Read(Join({EndRecord()})), 0);
    EXPECT_EQ(pages, 0);
    EXPECT_EQ(CountNotErased(), 0);
    EXPECT_EQ(UpLoad_LiniaBleduZbioru(), 0);
    EXPECT_STREQ(UpLoad_OpisBleduZbioru(), "");
}

TEST_F(HexReader, PageCountCoversTheHighestStoredByte) {
    std::vector<std::string> lines;
    for (int a = 0; a < 0x100; a += 16) lines.push_back(DataRecord(a, Pattern(a, 16)));
    lines.push_back(EndRecord());
    ASSERT_EQ(Read(Join(lines)), 0);
    EXPECT_EQ(pages, 1);
    EXPECT_EQ(At(0, 256), Pattern(0, 256));

    lines.insert(lines.end() - 1, DataRecord(0x100, {0x5A}));
    ASSERT_EQ(Read(Join(lines)), 0);
    EXPECT_EQ(pages, 2);
    EXPECT_EQ(image[0x100], 0x5A);
    EXPECT_EQ(image[0x101], 0xFF);

    // Page size is the caller's.
    ASSERT_EQ(Read(Join(lines), kLimit, 64), 0);
    EXPECT_EQ(pages, 5);
}

TEST_F(HexReader, SegmentAddressTimesSixteenIsTheBase) {
    ASSERT_EQ(Read(Join({SegmentRecord(0x1000), DataRecord(0x0010, {1, 2, 3}), EndRecord()})), 0);
    EXPECT_EQ(At(0x10010, 3), (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(CountNotErased(), 3);
    EXPECT_EQ(pages, 0x10012 / kPage + 1);
}

TEST_F(HexReader, LinearAddressRecordMovesLaterData) {
    ASSERT_EQ(
        Read(Join({DataRecord(0x0000, {0xAA}), LinearRecord(0x0001), DataRecord(0x0020, {0xBB, 0xCC}), EndRecord()})),
        0);
    EXPECT_EQ(image[0x0000], 0xAA);
    EXPECT_EQ(image[0x0020], 0xFF);
    EXPECT_EQ(At(0x10020, 2), (std::vector<std::uint8_t>{0xBB, 0xCC}));
    EXPECT_EQ(pages, 0x10021 / kPage + 1);
}

TEST_F(HexReader, TheLastAddressRecordOfEitherKindCounts) {
    ASSERT_EQ(Read(Join({LinearRecord(0x0001), SegmentRecord(0x0100), DataRecord(0x0000, {0x11}), EndRecord()})), 0);
    EXPECT_EQ(image[0x1000], 0x11);
    ASSERT_EQ(Read(Join({SegmentRecord(0x1000), LinearRecord(0x0000), DataRecord(0x0000, {0x22}), EndRecord()})), 0);
    EXPECT_EQ(image[0x0000], 0x22);
    EXPECT_EQ(image[0x10000], 0xFF);
}

TEST_F(HexReader, RecordCrossingSixtyFourKibIsStoredWithoutWrapping) {
    ASSERT_EQ(Read(Join({LinearRecord(0), DataRecord(0xFFF0, Pattern(0xFFF0, 32)), EndRecord()})), 0);
    EXPECT_EQ(At(0xFFF0, 32), Pattern(0xFFF0, 32));
    EXPECT_EQ(image[0x0000], 0xFF);
    EXPECT_EQ(pages, 0x10100 / kPage);
}

TEST_F(HexReader, LoadLimitComparesOnlyWhereARecordStarts) {
    // At and above the limit: skipped, and no page for it.
    ASSERT_EQ(Read(Join({DataRecord(0, {1}), SegmentRecord(0x1E00), DataRecord(0x0000, Pattern(0x1E000, 16)),
                         DataRecord(0x1000, {9}), EndRecord()})),
              0);
    EXPECT_EQ(pages, 1);
    EXPECT_EQ(image[0x1E000], 0xFF);
    EXPECT_EQ(image[0x1F000], 0xFF);

    // Ending at 0x1DFFF: 480 pages.
    ASSERT_EQ(Read(Join({SegmentRecord(0x1DF0), DataRecord(0x00F0, Pattern(0x1DFF0, 16)), EndRecord()})), 0);
    EXPECT_EQ(pages, 480);

    // Starting just below the limit: stored whole, past it.
    ASSERT_EQ(Read(Join({SegmentRecord(0x1DF0), DataRecord(0x00F8, Pattern(0x1DFF8, 16)), EndRecord()})), 0);
    EXPECT_EQ(At(0x1DFF8, 16), Pattern(0x1DFF8, 16));
    EXPECT_EQ(pages, 481);
}

TEST_F(HexReader, GapsBetweenRecordsStayErased) {
    ASSERT_EQ(Read(Join({DataRecord(0x0000, {1, 2}), DataRecord(0x0400, {3}), SegmentRecord(0x1000),
                         DataRecord(0x0000, {4}), EndRecord()})),
              0);
    EXPECT_EQ(CountNotErased(), 4);
    EXPECT_EQ(image[0x0002], 0xFF);
    EXPECT_EQ(image[0x03FF], 0xFF);
    EXPECT_EQ(image[0x0401], 0xFF);
    EXPECT_EQ(image[0x10000], 4);
}

TEST_F(HexReader, RecordsOfAnyLengthUpTo255Bytes) {
    const std::string longest = DataRecord(0x0100, Pattern(0x100, 255));
    ASSERT_EQ(longest.size(), 521u);
    ASSERT_EQ(Read(Join({DataRecord(0, Pattern(0, 27)), longest, EndRecord()})), 0);
    EXPECT_EQ(At(0, 27), Pattern(0, 27));
    EXPECT_EQ(At(0x100, 255), Pattern(0x100, 255));
    EXPECT_EQ(pages, 2);
}

TEST_F(HexReader, FolderOrPipeInPlaceOfTheFileIsAMissingFile) {
    for (const bool pipe : {false, true}) {
        const std::string path = TempFolder() + (pipe ? "/pipe.a90" : "/folder.a90");
        ASSERT_EQ(pipe ? mkfifo(path.c_str(), 0600) : mkdir(path.c_str(), 0700), 0);
        image.assign(UpLoad_RozmiarObrazu, 0x00);
        pages = -7;
        EXPECT_EQ(UpLoad_OdczytajZbiorHEX(path.c_str(), image.data(), &pages, kPage, kLimit), UpLoad_BrakZbioru);
        EXPECT_TRUE(Untouched());
        rmdir(path.c_str());
        std::remove(path.c_str());
    }
}

TEST_F(HexReader, LineEndsBlankLinesAndLetterCase) {
    const std::vector<std::string> lines = {DataRecord(0, {0xAB, 0xCD}), EndRecord()};
    ASSERT_EQ(Read(Join(lines, "\n")), 0);
    EXPECT_EQ(At(0, 2), (std::vector<std::uint8_t>{0xAB, 0xCD}));
    ASSERT_EQ(Read(Join(lines, "\r\n") + "\r\n\n  \r\n"), 0);
    EXPECT_EQ(pages, 1);
    // No line end after the end record, blank lines and trailing blanks among the records.
    ASSERT_EQ(Read("\r\n" + DataRecord(0, {0xAB, 0xCD}) + "  \r\n\r\n" + EndRecord()), 0);
    EXPECT_EQ(image[1], 0xCD);
    // Lower-case hex digits.
    std::string lower = DataRecord(0, {0xAB, 0xCD});
    for (char &c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    ASSERT_EQ(Read(Join({lower, EndRecord()})), 0);
    EXPECT_EQ(image[0], 0xAB);
}

TEST_F(HexReader, NothingAfterTheEndRecordIsRead) {
    ASSERT_EQ(Read(Join({DataRecord(0, {1}), EndRecord(), DataRecord(0x200, {2}), "not a record"})), 0);
    EXPECT_EQ(image[0x200], 0xFF);
    EXPECT_EQ(pages, 1);
}

TEST_F(HexReader, StartAddressRecordsChangeNothing) {
    ASSERT_EQ(Read(Join({Record(3, 0, {0x12, 0x34, 0x56, 0x78}), Record(5, 0, {0, 1, 0, 0}), DataRecord(0, {7}),
                         EndRecord()})),
              0);
    EXPECT_EQ(image[0], 7);
    EXPECT_EQ(CountNotErased(), 1);
}

TEST_F(HexReader, DamagedFilesAreRefusedWithTheirLine) {
    const std::string good = DataRecord(0x10, {1, 2, 3, 4});
    std::string badSum = good;
    badSum.back() = badSum.back() == '0' ? '1' : '0';
    ExpectRefused(Join({DataRecord(0, {9}), badSum, EndRecord()}), 2, "checksum");
    ExpectRefused(Join({good, good.substr(1), EndRecord()}), 2, "no start character");
    ExpectRefused(Join({good, ";" + good.substr(1), EndRecord()}), 2, "another start character");
    std::string notHex = good;
    notHex[12] = 'G';
    ExpectRefused(Join({notHex, EndRecord()}), 1, "not a hex digit");
    ExpectRefused(Join({good.substr(0, good.size() - 2), EndRecord()}), 1, "shorter than its count");
    ExpectRefused(Join({good.substr(0, good.size() - 2) + "0000", EndRecord()}), 1, "longer than its count");
    ExpectRefused(Join({good, "hello", EndRecord()}), 2, "text line");
    ExpectRefused(Join({good, ":0000", EndRecord()}), 2, "cut-off record");
    ExpectRefused(Join({good, Record(6, 0, {1}), EndRecord()}), 2, "unknown type");
    ExpectRefused(Join({good, Record(1, 0, {1}), EndRecord()}), 2, "end record with data");
    ExpectRefused(Join({Record(2, 0, {0x10}), good, EndRecord()}), 1, "segment record of one byte");
    ExpectRefused(Join({Record(4, 0, {0, 1, 2}), good, EndRecord()}), 1, "linear record of three bytes");
    ExpectRefused(Join({good, ":" + std::string(600, '0'), EndRecord()}), 2, "over-long line");
    ExpectRefused(Join({good, good + "\r" + good, EndRecord()}), 2, "two records on one line");
}

TEST_F(HexReader, RecordsAtOrAboveTheLimitAreSkippedWhereverTheyLie) {
    // EEPROM and fuses as avr-gcc places them, a segment far beyond the
    // flash, a bootloader record just above the limit.
    const std::string text = Join({DataRecord(0, {1}), LinearRecord(0x0081), DataRecord(0x0000, {2, 3}),
                                   LinearRecord(0x0082), DataRecord(0x0000, {0xF7, 0xD1, 0xFC}), SegmentRecord(0xF000),
                                   DataRecord(0, {4}), LinearRecord(0x0001), DataRecord(0xE000, {5}), EndRecord()});
    for (const int limit : {kLimit, UpLoad_RozmiarObrazu}) {
        ASSERT_EQ(Read(text, limit), 0) << UpLoad_OpisBleduZbioru();
        EXPECT_EQ(image[0], 1);
        EXPECT_EQ(CountNotErased(), limit == kLimit ? 1 : 2);
        EXPECT_EQ(pages, limit == kLimit ? 1 : 0x1E000 / kPage + 1);
    }
}

TEST_F(HexReader, RecordStartingBelowTheLimitAndRunningPastTheImageIsRefused) {
    const std::string text = Join({LinearRecord(0x0001), DataRecord(0xFFF8, Pattern(0, 16)), EndRecord()});
    ExpectRefused(text, 2, "runs past the end", UpLoad_RozmiarObrazu);
    ASSERT_EQ(Read(text), 0);  // the upgrade's limit lies below it: skipped
    EXPECT_EQ(pages, 0);
    // The last byte of the image is still inside it.
    ASSERT_EQ(Read(Join({LinearRecord(0x0001), DataRecord(0xFFFF, {0x42}), EndRecord()}), UpLoad_RozmiarObrazu), 0);
    EXPECT_EQ(image[UpLoad_RozmiarObrazu - 1], 0x42);
    EXPECT_EQ(pages, 512);
}

TEST_F(HexReader, AFileWithoutItsEndRecordIsRefused) {
    ExpectRefused(Join({DataRecord(0, {1}), DataRecord(1, {2})}), 3, "cut at a line end");
    ExpectRefused(Join({DataRecord(0, {1}), DataRecord(1, {2}), ""}), 4, "blank line at the end");
    ExpectRefused("", 1, "empty file");
    ExpectRefused(Join({DataRecord(0, {1})}) + DataRecord(1, {2}).substr(0, 7), 2, "cut inside a line");
}

TEST_F(HexReader, MissingFileLeavesEverythingAsItWas) {
    image.assign(UpLoad_RozmiarObrazu, 0x00);
    pages = -7;
    EXPECT_EQ(UpLoad_OdczytajZbiorHEX((TempFolder() + "/absent.hex").c_str(), image.data(), &pages, kPage, kLimit),
              UpLoad_BrakZbioru);
    EXPECT_EQ(UpLoad_OdczytajZbiorHEX(nullptr, image.data(), &pages, kPage, kLimit), UpLoad_BrakZbioru);
    EXPECT_TRUE(Untouched());
}

TEST_F(HexReader, BadArgumentsAreRefusedBeforeTheFileIsRead) {
    const std::string path = WriteTempFile("args.hex", Join({DataRecord(0, {1}), EndRecord()}));
    std::vector<unsigned char> buffer(UpLoad_RozmiarObrazu, 0);
    int count = -7;
    EXPECT_EQ(UpLoad_OdczytajZbiorHEX(path.c_str(), nullptr, &count, kPage, kLimit), UpLoad_ZleArgumenty);
    EXPECT_EQ(UpLoad_OdczytajZbiorHEX(path.c_str(), buffer.data(), nullptr, kPage, kLimit), UpLoad_ZleArgumenty);
    EXPECT_EQ(UpLoad_OdczytajZbiorHEX(path.c_str(), buffer.data(), &count, 0, kLimit), UpLoad_ZleArgumenty);
    EXPECT_EQ(count, -7);
    EXPECT_EQ(buffer[0], 0);
}

TEST_F(HexReader, AGoodReadClearsTheLastFault) {
    ExpectRefused(Join({":zz"}), 1, "garbage");
    ASSERT_EQ(Read(Join({EndRecord()})), 0);
    EXPECT_EQ(UpLoad_LiniaBleduZbioru(), 0);
    EXPECT_STREQ(UpLoad_OpisBleduZbioru(), "");
}

// Any one character of a record changed is caught: the checksum, the hex
// digits or the record's length gives it away.
TEST_F(HexReader, EverySingleCharacterChangeIsCaught) {
    std::vector<std::string> lines;
    for (int a = 0; a < 0x200; a += 32) lines.push_back(DataRecord(a, Pattern(a, 32)));
    lines.push_back(SegmentRecord(0x1000));
    lines.push_back(DataRecord(0x40, Pattern(0x10040, 16)));
    lines.push_back(EndRecord());
    const std::string text = Join(lines);
    ASSERT_EQ(Read(text), 0);

    std::mt19937 random(12345);
    const std::string alphabet = "0123456789ABCDEFabcdef:G \x7F";
    // Every character of the first record and of the end record, and a
    // sample of the rest.
    std::vector<std::size_t> positions;
    const std::size_t endRecord = text.rfind(EndRecord());
    for (std::size_t i = 0; i < text.size(); ++i)
        if (i < lines[0].size() || i >= endRecord || random() % 6 == 0) positions.push_back(i);
    int tried = 0;
    for (std::size_t i : positions) {
        if (text[i] == '\r' || text[i] == '\n') continue;
        std::string damaged = text;
        do damaged[i] = alphabet[random() % alphabet.size()];
        while (damaged[i] == text[i] || std::tolower(static_cast<unsigned char>(damaged[i])) ==
                                            std::tolower(static_cast<unsigned char>(text[i])));
        ++tried;
        ASSERT_EQ(Read(damaged), UpLoad_ZbiorUszkodzony) << "position " << i << ": " << damaged.substr(i - i % 20, 40);
        ASSERT_TRUE(Untouched());
    }
    EXPECT_GT(tried, 150);
}

TEST_F(HexReader, RandomBytesNeverCrashOrLoad) {
    std::mt19937 random(777);
    for (int round = 0; round < 150; ++round) {
        std::string text;
        const int length = static_cast<int>(random() % 2000);
        for (int i = 0; i < length; ++i) {
            const unsigned r = random() % 10;
            text.push_back(r < 6 ? "0123456789ABCDEF:\n"[random() % 18] : static_cast<char>(random() & 0xFF));
        }
        const int rc = Read(text);
        ASSERT_TRUE(rc == 0 || rc == UpLoad_ZbiorUszkodzony) << rc;
        if (rc != 0) {
            ASSERT_TRUE(Untouched());
        }
    }
}

}  // namespace
