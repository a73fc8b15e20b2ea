// Commands 11 to 19 byte for byte against a scripted line.
#include <cstring>
#include <string>
#include <vector>

#include "korvi70/commands.h"
#include "korvi70/link.h"
#include "tests/korvi70/fake_line.h"

namespace {

using korvi70_test::FakeLineTest;
using korvi70_test::HexRequestText;

class LoaderCommands : public FakeLineTest {};

TEST_F(LoaderCommands, SoftwareVersionIsFourHexDigits) {
    AnswerWith(0, "0069");
    int version = 0;
    ASSERT_EQ(Korvi70_PodWerOprogWewn(0, &version), 0);
    EXPECT_EQ(version, 105);
    EXPECT_EQ(OnlyFrame(), HexRequestText(0, 0x29, 11, ""));
}

TEST_F(LoaderCommands, LevelOneLoaderStartsOnOkAfterAnyLeadIn) {
    line_.SetResponder([](std::string_view) { return std::string("\r\nxO\r\nK"); });
    EXPECT_EQ(Korvi70_UruchomUpgradeLoader(0), 0);
    EXPECT_EQ(OnlyFrame(), HexRequestText(0, 0x29, 12, ""));
}

TEST_F(LoaderCommands, LevelOneLoaderWithoutKGivesThree) {
    line_.SetResponder([](std::string_view) { return std::string("\r\nO"); });
    EXPECT_EQ(Korvi70_UruchomUpgradeLoader(0), 3);
    line_.SetResponder([](std::string_view) { return std::string(); });
    EXPECT_EQ(Korvi70_UruchomUpgradeLoader(0), 3);
}

TEST_F(LoaderCommands, LevelOneLoaderGivesUpOnALineThatNeverSaysOk) {
    line_.SetResponder([](std::string_view) { return std::string(5000, 'x'); });
    EXPECT_EQ(Korvi70_UruchomUpgradeLoader(0), 3);
}

TEST_F(LoaderCommands, SubDeviceCount) {
    AnswerWith(0, "FF");
    int count = 0;
    ASSERT_EQ(Korvi70_PodIleUrzadPodrzed(2, &count), 0);
    EXPECT_EQ(count, 255);
}

TEST_F(LoaderCommands, SubDeviceInformationFieldsInOrder) {
    AnswerWith(0, "12ABFFFF0102Czujnik1");
    unsigned char code1 = 0, code2 = 0;
    int value1 = 0, value2 = 0;
    char text[Korvi70_RozmiarTekstuUrzadPodrzed];
    std::memset(text, 'x', sizeof text);
    ASSERT_EQ(Korvi70_PodIlnfoOUrzadPodrzed(2, 7, &code1, &code2, &value1, &value2, text), 0);
    EXPECT_EQ(OnlyFrame(), HexRequestText(2, 0x29, 14, "07"));
    EXPECT_EQ(code1, 0x12);
    EXPECT_EQ(code2, 0xAB);
    EXPECT_EQ(value1, 0xFFFF);
    EXPECT_EQ(value2, 0x0102);
    EXPECT_STREQ(text, "Czujnik1");
}

TEST_F(LoaderCommands, SubDeviceInformationKeepsFieldsReadBeforeAFault) {
    // The second value is not hex: the fields before it are already stored.
    AnswerWith(0, "12ABFFFFzz02Czujnik1");
    unsigned char code1 = 0, code2 = 0;
    int value1 = 0, value2 = -1;
    char text[Korvi70_RozmiarTekstuUrzadPodrzed] = "unset";
    EXPECT_EQ(Korvi70_PodIlnfoOUrzadPodrzed(2, 7, &code1, &code2, &value1, &value2, text), 3);
    EXPECT_EQ(code1, 0x12);
    EXPECT_EQ(value1, 0xFFFF);
    EXPECT_EQ(value2, -1);
    EXPECT_STREQ(text, "unset");
}

TEST_F(LoaderCommands, SubDeviceNumberOutOfRangeIsRefused) {
    unsigned char code1 = 0, code2 = 0;
    int value1 = 0, value2 = 0;
    char text[Korvi70_RozmiarTekstuUrzadPodrzed];
    EXPECT_EQ(Korvi70_PodIlnfoOUrzadPodrzed(2, 256, &code1, &code2, &value1, &value2, text), 1);
    EXPECT_EQ(Korvi70_PodIlnfoOUrzadPodrzed(2, -1, &code1, &code2, &value1, &value2, text), 1);
    EXPECT_EQ(Korvi70_PodIlnfoOUrzadPodrzed(2, 1, &code1, &code2, &value1, &value2, nullptr), 1);
    EXPECT_TRUE(line_.Written().empty());
}

TEST_F(LoaderCommands, RestartCode) {
    AnswerWith(0, "0a");
    unsigned char code = 0;
    ASSERT_EQ(Korvi70_PodKodRestartu(0, &code), 0);
    EXPECT_EQ(code, 0x0A);
    EXPECT_EQ(OnlyFrame(), HexRequestText(0, 0x29, 15, ""));
}

TEST_F(LoaderCommands, LevelTwoStartAndCloseCarryNoData) {
    AnswerWith(0, "");
    EXPECT_EQ(Korvi70_UruchomUpgradeLoaderL2(0), 0);
    EXPECT_EQ(Korvi70_ZamknijUpgradeLoaderL2(0), 0);
    ASSERT_EQ(line_.Frames().size(), 2u);
    EXPECT_EQ(line_.Frames()[0], HexRequestText(0, 0x29, 16, ""));
    EXPECT_EQ(line_.Frames()[1], HexRequestText(0, 0x29, 17, ""));
}

TEST_F(LoaderCommands, BufferWriteOf64BytesSends134DataCharacters) {
    AnswerWith(0, "");
    std::vector<unsigned char> data(64);
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<unsigned char>(0xF0 + i);
    ASSERT_EQ(Korvi70_ZapiszDoBuforaPamieciFLASHUL2(0, 128, 64, data.data()), 0);
    const std::string frame = OnlyFrame();
    ASSERT_EQ(frame.size(), 8u + 134u + 2u);
    std::string expected = "008040";
    for (unsigned char b : data) {
        static constexpr char kDigits[] = "0123456789ABCDEF";
        expected += kDigits[b >> 4];
        expected += kDigits[b & 0xF];
    }
    EXPECT_EQ(frame, HexRequestText(0, 0x29, 18, expected));
}

TEST_F(LoaderCommands, BufferWriteOfNothingAndOfTheMostBytes) {
    AnswerWith(0, "");
    ASSERT_EQ(Korvi70_ZapiszDoBuforaPamieciFLASHUL2(0, 0, 0, nullptr), 0);
    EXPECT_EQ(line_.Frames()[0], HexRequestText(0, 0x29, 18, "000000"));
    std::vector<unsigned char> data(255, 0xA5);
    ASSERT_EQ(Korvi70_ZapiszDoBuforaPamieciFLASHUL2(0, 0xFFFF, 255, data.data()), 0);
    EXPECT_EQ(line_.Frames()[1].size(), 8u + 4u + 2u + 510u + 2u);
    EXPECT_EQ(line_.Frames()[1].substr(8, 6), "FFFFFF");
}

TEST_F(LoaderCommands, BufferWriteArgumentsOutOfRangeAreRefused) {
    AnswerWith(0, "");
    unsigned char data[256] = {};
    EXPECT_EQ(Korvi70_ZapiszDoBuforaPamieciFLASHUL2(0, 0, 256, data), 1);
    EXPECT_EQ(Korvi70_ZapiszDoBuforaPamieciFLASHUL2(0, 0, -1, data), 1);
    EXPECT_EQ(Korvi70_ZapiszDoBuforaPamieciFLASHUL2(0, -1, 1, data), 1);
    EXPECT_EQ(Korvi70_ZapiszDoBuforaPamieciFLASHUL2(0, 0x10000, 1, data), 1);
    EXPECT_EQ(Korvi70_ZapiszDoBuforaPamieciFLASHUL2(0, 0, 1, nullptr), 1);
    EXPECT_EQ(Korvi70_ZapiszBuforDoPamieciFLASHUL2(0, -1), 1);
    EXPECT_EQ(Korvi70_ZapiszBuforDoPamieciFLASHUL2(0, 0x10000), 1);
    EXPECT_TRUE(line_.Written().empty());
}

TEST_F(LoaderCommands, BufferWriteStatusIsReturnedWithoutReadingFurther) {
    // Status 6, and after it bytes that would fail any further check.
    line_.SetResponder([](std::string_view) {
        return std::string(
            "\x00"
            "71002906zz",
            11);
    });
    unsigned char data[4] = {1, 2, 3, 4};
    EXPECT_EQ(Korvi70_ZapiszDoBuforaPamieciFLASHUL2(0, 0, 4, data), 6);
}

TEST_F(LoaderCommands, PageWriteSendsFourPageDigits) {
    AnswerWith(0, "");
    ASSERT_EQ(Korvi70_ZapiszBuforDoPamieciFLASHUL2(0, 0x01E0), 0);
    EXPECT_EQ(OnlyFrame(), HexRequestText(0, 0x29, 19, "01E0"));
}

}  // namespace
