#include "toolvane/crc16.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "../oracle_tool.h"
#include "python_oracle.h"

namespace {

int Crc(const std::string &text) {
    return Toolvane_PoliczCRC16(reinterpret_cast<const unsigned char *>(text.data()), static_cast<int>(text.size()));
}

TEST(Crc16, CheckValuesHaveTheirBytesExchanged) {
    EXPECT_EQ(Crc("123456789"), 0x374B);  // CRC-16/MODBUS check value 0x4B37
    EXPECT_EQ(Crc("abc"), 0x4957);
}

TEST(Crc16, EmptyNegativeAndNullBlocksReadNothing) {
    const unsigned char byte = 0x55;
    EXPECT_EQ(Toolvane_PoliczCRC16(&byte, 0), 0xFFFF);
    EXPECT_EQ(Toolvane_PoliczCRC16(nullptr, 0), 0xFFFF);
    EXPECT_EQ(Toolvane_PoliczCRC16(&byte, -1), 0xFFFF);
    EXPECT_EQ(Toolvane_PoliczCRC16(&byte, -2147483647 - 1), 0xFFFF);
    EXPECT_EQ(Toolvane_PoliczCRC16(nullptr, 10), 0xFFFF);
}

TEST(Crc16, SentHighByteFirstTheBlockChecksToZero) {
    // A Modbus receiver running the CRC over data plus CRC gets 0.
    std::string frame = "\x01\x03\x00\x00\x00\x0A";
    const int crc = Crc(frame);
    frame += static_cast<char>(crc >> 8);
    frame += static_cast<char>(crc & 0xFF);
    EXPECT_EQ(Crc(frame), 0x0000);
}

TEST(Crc16, AgreesWithCrcmodModbusOverRandomBlocks) {
    std::mt19937 random(20260107);
    std::vector<std::vector<unsigned char>> blocks;
    std::vector<std::string> hexLines;
    for (int n = 0; n < 300; ++n) {
        const int length = n < 4 ? n : static_cast<int>(random() % 1025);
        std::vector<unsigned char> block(static_cast<size_t>(length));
        std::string hex;
        for (unsigned char &b : block) {
            b = static_cast<unsigned char>(random());
            char digits[3];
            std::snprintf(digits, sizeof digits, "%02x", b);
            hex += digits;
        }
        blocks.push_back(block);
        hexLines.push_back(hex);
    }
    const auto python = toolvane_test::RunPython(
        "import sys, crcmod.predefined\n"
        "crc = crcmod.predefined.mkCrcFun('modbus')\n"
        "for line in open(sys.argv[1]):\n"
        "    print(crc(bytes.fromhex(line.strip())))\n",
        hexLines, "crcmod.predefined");
    if (!python.available) ORACLE_TOOL_MISSING("/usr/bin/python3 with crcmod is not installed");
    ASSERT_TRUE(python.ok);
    ASSERT_EQ(python.lines.size(), blocks.size());
    for (size_t n = 0; n < blocks.size(); ++n) {
        const int standard = std::stoi(python.lines[n]);
        const int exchanged = ((standard & 0xFF) << 8) | (standard >> 8);
        EXPECT_EQ(Toolvane_PoliczCRC16(blocks[n].data(), static_cast<int>(blocks[n].size())), exchanged)
            << "block " << n << " of " << blocks[n].size() << " bytes";
    }
}

TEST(ByteOrder64, ReversesTheEightBytes) {
    EXPECT_EQ(Toolvane_ChangeByteOrderIn64Int(0x0102030405060708LL), 0x0807060504030201LL);
    EXPECT_EQ(Toolvane_ChangeByteOrderIn64Int(0), 0);
    EXPECT_EQ(Toolvane_ChangeByteOrderIn64Int(0xFF), static_cast<long long>(0xFF00000000000000ULL));
    EXPECT_EQ(Toolvane_ChangeByteOrderIn64Int(-1), -1);
    EXPECT_EQ(Toolvane_ChangeByteOrderIn64Int(static_cast<long long>(0x8000000000000001ULL)),
              static_cast<long long>(0x0100000000000080ULL));
}

TEST(ByteOrder64, TwiceGivesTheValueBack) {
    std::mt19937_64 random(7);
    for (int n = 0; n < 1000; ++n) {
        const auto value = static_cast<long long>(random());
        EXPECT_EQ(Toolvane_ChangeByteOrderIn64Int(Toolvane_ChangeByteOrderIn64Int(value)), value);
    }
}

}  // namespace
