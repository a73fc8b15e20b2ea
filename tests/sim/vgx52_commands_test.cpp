// The simulated instrument's answers to the generic, loader and register
// commands, frame by frame.
#include <gtest/gtest.h>

#include <string>

#include "sim/command_table.h"
#include "sim/instrument.h"

namespace {

unsigned char Xor(std::string_view text) {
    unsigned char x = 0;
    for (char c : text) x ^= static_cast<unsigned char>(c);
    return x;
}

// A request from ID 71 with transaction 29, as the program sends it.
std::string Request(unsigned destination, unsigned command, std::string_view data) {
    std::string text = sim::Hex(destination, 2) + "7129" + sim::Hex(command, 2) + std::string(data);
    return std::string("\xFF\xFF\x00", 3) + text + sim::Hex(Xor(text), 2) + '\x01';
}

// The reply the instrument must send: from `source`, with status and data.
std::string Reply(unsigned source, unsigned status, std::string_view data) {
    std::string text = "71" + sim::Hex(source, 2) + "29" + sim::Hex(status, 2) + std::string(data);
    return std::string("\xFF\xFF\x00", 3) + text + sim::Hex(Xor(text), 2) + '\x01';
}

class SimCommands : public ::testing::Test {
protected:
    std::string Ask(unsigned destination, unsigned command, std::string_view data = {}) {
        return instrument.Process(Request(destination, command, data));
    }
    sim::Instrument instrument;
    sim::Vgx52State &vgx = instrument.State().vgx;
};

TEST_F(SimCommands, IdIsReadFromZeroAndWrittenAtTheOldAddress) {
    EXPECT_EQ(Ask(0, 1), Reply(0, 0, "05"));
    EXPECT_EQ(Ask(5, 2, "2A"), Reply(5, 0, ""));
    EXPECT_EQ(instrument.State().id, 0x2A);
    EXPECT_EQ(Ask(0, 1), Reply(0, 0, "2A"));
    EXPECT_EQ(Ask(5, 1), "");  // no longer its address
}

TEST_F(SimCommands, TextsAreStoredAsSent) {
    EXPECT_EQ(Ask(0, 7, "AB 12\\x!"), Reply(0, 0, ""));
    EXPECT_EQ(Ask(0, 6), Reply(0, 0, "AB 12\\x!"));
    EXPECT_EQ(Ask(0, 10, "01.02.24 03:04:05"), Reply(0, 0, ""));
    EXPECT_EQ(Ask(0, 9), Reply(0, 0, "01.02.24 03:04:05"));
    // Wrong widths are refused and change nothing.
    EXPECT_EQ(Ask(0, 7, "SHORT"), Reply(0, sim::kStatusBadRequest, ""));
    EXPECT_EQ(Ask(0, 10, "01.02.24 03:04:0"), Reply(0, sim::kStatusBadRequest, ""));
    EXPECT_EQ(vgx.serial, "AB 12\\x!");
}

TEST_F(SimCommands, BasicValueIsKeptAsItsBitPattern) {
    EXPECT_EQ(Ask(0, 5, "438F870A"), Reply(0, 0, ""));
    EXPECT_EQ(vgx.basicValue, 0x438F870Au);
    EXPECT_EQ(Ask(0, 4), Reply(0, 0, "438F870A"));
    EXPECT_EQ(Ask(0, 5, "438F870"), Reply(0, sim::kStatusBadRequest, ""));
}

TEST_F(SimCommands, RealsByCodeWithIReadOnly) {
    EXPECT_EQ(Ask(0, 0x82, "45"), Reply(0, 0, "3FA568C6"));  // "E"
    EXPECT_EQ(Ask(0, 0x82, "61"), Reply(0, 0, "438F870A"));  // "a"
    EXPECT_EQ(Ask(0, 0x83, "7242C80000"), Reply(0, 0, ""));  // "r" = 100
    EXPECT_EQ(vgx.lowerReals[17], 0x42C80000u);
    const std::uint32_t before = vgx.upperReals[8];
    EXPECT_EQ(Ask(0, 0x83, "4942C80000"), Reply(0, sim::kStatusOutOfRange, ""));  // "I"
    EXPECT_EQ(vgx.upperReals[8], before);
    EXPECT_EQ(Ask(0, 0x82, "49"), Reply(0, 0, sim::Hex(before, 8)));
    EXPECT_EQ(Ask(0, 0x82, "4A"), Reply(0, sim::kStatusOutOfRange, ""));  // "J"
    EXPECT_EQ(Ask(0, 0x82, "73"), Reply(0, sim::kStatusOutOfRange, ""));  // "s"
}

TEST_F(SimCommands, IntegersAndCodeValues) {
    EXPECT_EQ(Ask(0, 0x85, "428000"), Reply(0, 0, ""));
    EXPECT_EQ(Ask(0, 0x84, "42"), Reply(0, 0, "8000"));
    EXPECT_EQ(Ask(0, 0x84, "62"), Reply(0, sim::kStatusOutOfRange, ""));  // "b"
    EXPECT_EQ(Ask(0, 0x81, "47"), Reply(0, 0, "00000040"));               // "G"
    EXPECT_EQ(Ask(0, 0x81, "48"), Reply(0, sim::kStatusOutOfRange, ""));
    EXPECT_EQ(Ask(0, 0x84, "4"), Reply(0, sim::kStatusBadRequest, ""));
}

TEST_F(SimCommands, CalibrationTableOfFifteenStepsByThreeColumns) {
    EXPECT_EQ(Ask(0, 0x87, "0F433F800000"), Reply(0, 0, ""));
    EXPECT_EQ(vgx.calibration[14][2], 0x3F800000u);
    EXPECT_EQ(Ask(0, 0x86, "0F43"), Reply(0, 0, "3F800000"));
    EXPECT_EQ(Ask(0, 0x86, "0041"), Reply(0, sim::kStatusOutOfRange, ""));
    EXPECT_EQ(Ask(0, 0x86, "1041"), Reply(0, sim::kStatusOutOfRange, ""));
    EXPECT_EQ(Ask(0, 0x86, "0144"), Reply(0, sim::kStatusOutOfRange, ""));
}

TEST_F(SimCommands, VersionSubDevicesAndRestartCode) {
    EXPECT_EQ(Ask(0, 11), Reply(0, 0, "0069"));
    EXPECT_EQ(Ask(0, 13), Reply(0, 0, "02"));
    EXPECT_EQ(Ask(0, 14, "01"), Reply(0, 0, "0220FFFF0000MODUL IO"));
    EXPECT_EQ(Ask(0, 14, "02"), Reply(0, sim::kStatusOutOfRange, ""));
    EXPECT_EQ(Ask(0, 15), Reply(0, 0, "01"));
}

TEST_F(SimCommands, LevelTwoLoaderFillsTheBufferAndWritesPages) {
    EXPECT_EQ(Ask(0, 18, "00000111"), Reply(0, sim::kStatusLoaderClosed, ""));
    EXPECT_EQ(Ask(0, 16), Reply(0, 0, ""));
    std::string data = "00C040";
    for (int i = 0; i < 64; ++i) data += sim::Hex(static_cast<unsigned>(i), 2);
    EXPECT_EQ(Ask(0, 18, data), Reply(0, 0, ""));
    EXPECT_EQ(Ask(0, 19, "01E0"), Reply(0, 0, ""));
    EXPECT_EQ(vgx.flash[0x1E000], 0xFF);
    EXPECT_EQ(vgx.flash[0x1E0C0], 0x00);
    EXPECT_EQ(vgx.flash[0x1E0FF], 0x3F);
    EXPECT_EQ(vgx.pagesWritten, 1);
    EXPECT_EQ(Ask(0, 17), Reply(0, 0, ""));
    EXPECT_EQ(Ask(0, 19, "0000"), Reply(0, sim::kStatusLoaderClosed, ""));
}

TEST_F(SimCommands, LevelTwoWritesOutsideTheBufferOrFlashAreRefused) {
    Ask(0, 16);
    std::string past = "00C141";
    for (int i = 0; i < 65; ++i) past += "AA";
    EXPECT_EQ(Ask(0, 18, past), Reply(0, sim::kStatusOutOfRange, ""));        // 0xC1 + 65 > 256
    EXPECT_EQ(Ask(0, 18, "000002AA"), Reply(0, sim::kStatusBadRequest, ""));  // count says 2, 1 given
    EXPECT_EQ(Ask(0, 18, "000001ZZ"), Reply(0, sim::kStatusBadRequest, ""));
    EXPECT_EQ(Ask(0, 19, "0200"), Reply(0, sim::kStatusOutOfRange, ""));  // page 512: past 128 KiB
    EXPECT_EQ(Ask(0, 19, "01FF"), Reply(0, 0, ""));
    EXPECT_EQ(vgx.pagesWritten, 1);
}

TEST_F(SimCommands, LevelOneLoaderSpeaksItsCharacterProtocolUntilEnded) {
    EXPECT_EQ(Ask(0, 12), "\r\nOK");
    EXPECT_TRUE(instrument.InRawMode());
    std::string message = ":B0003";
    for (int i = 0; i < 256; ++i) message += sim::Hex(static_cast<unsigned>(255 - i), 2);
    const std::string check = sim::Hex(Xor(message), 2);
    EXPECT_EQ(instrument.Process("\r\n" + message + check), "0");
    EXPECT_EQ(vgx.flash[0x300], 0xFF);
    EXPECT_EQ(vgx.flash[0x3FF], 0x00);
    std::string broken = message;
    broken[7] = broken[7] == '0' ? '1' : '0';
    EXPECT_EQ(instrument.Process(broken + check), "1");
    EXPECT_EQ(instrument.Process(":C79"), "OK");
    EXPECT_FALSE(instrument.InRawMode());
    EXPECT_EQ(Ask(0, 11), Reply(0, 0, "0069"));
}

TEST_F(SimCommands, StatusSwitchAnswersWithoutData) {
    instrument.Faults().status = 5;
    EXPECT_EQ(Ask(0, 0x82, "45"), Reply(0, 5, ""));
}

TEST_F(SimCommands, EveryCommandIsAnswered) {
    for (int code :
         {1, 2, 3, 4, 5, 6, 7, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 0x81, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87})
        EXPECT_NE(instrument.Commands().Hex(code), nullptr) << code;
}

}  // namespace
