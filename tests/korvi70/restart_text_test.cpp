// Restart codes as texts.
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "korvi70/loader_commands.h"

namespace {

std::string Text(unsigned char code, int processorType) {
    char text[Korvi70_RozmiarTekstuKoduRestartu];
    std::memset(text, 'x', sizeof text);
    EXPECT_EQ(Korvi70_ZamienKodRestartuDoTekstu(code, processorType, text), 0);
    return text;
}

TEST(RestartText, CausesAreListedFromTheHighestBit) {
    EXPECT_EQ(Text(0x0A, 1), "WatchDog, External input");
    EXPECT_EQ(Text(0x1F, 3), "JTAG, WatchDog, Brown-Out, External input, Power On Reset");
    EXPECT_EQ(Text(0x01, 1), "Power On Reset");
    EXPECT_EQ(Text(0x10, 3), "JTAG");
}

TEST(RestartText, NoKnownBitIsAnUnknownCause) {
    EXPECT_EQ(Text(0x00, 1), "przyczyna nieznana");
    EXPECT_EQ(Text(0xE0, 3), "przyczyna nieznana");
    EXPECT_EQ(Text(0xFF, 1), Text(0x1F, 1));
}

TEST(RestartText, OtherProcessorTypes) {
    EXPECT_EQ(Text(0x1F, 2), "funkcja jeszcze nie rozpisana");
    EXPECT_EQ(Text(0x1F, 0), "nieznany typ procesora");
    EXPECT_EQ(Text(0x1F, 4), "nieznany typ procesora");
    EXPECT_EQ(Text(0x1F, -1), "nieznany typ procesora");
}

TEST(RestartText, NoBufferIsRefused) { EXPECT_EQ(Korvi70_ZamienKodRestartuDoTekstu(1, 1, nullptr), 1); }

}  // namespace
