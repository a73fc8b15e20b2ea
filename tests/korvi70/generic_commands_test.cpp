// The generic commands byte for byte against a scripted line.
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

#include "korvi70/commands.h"
#include "korvi70/link.h"
#include "tests/korvi70/fake_line.h"

namespace {

using korvi70_test::FakeLineTest;
using korvi70_test::HexRequestText;

const std::string kPreamble("\xFF\xFF\x00", 3);

class GenericCommands : public FakeLineTest {};

TEST_F(GenericCommands, IdentifyToIdZeroByteForByte) {
    // Transaction 29: the request checks to 0E, the reply with type 01B0 to 7E.
    line_.SetResponder([](std::string_view) {
        return std::string(
            "\xAA\x00"
            "7100290001B07E\x01",
            17);
    });
    int type = -1;
    ASSERT_EQ(Korvi70_PrzedstawSie(0, &type), 0);
    EXPECT_EQ(type, 0x1B0);
    EXPECT_EQ(line_.Written(), kPreamble + "007129030E\x01");
}

TEST_F(GenericCommands, ReplyDigitsAreAcceptedInLowerCase) {
    AnswerWith(0, "01b7");
    int type = -1;
    ASSERT_EQ(Korvi70_PrzedstawSie(9, &type), 0);
    EXPECT_EQ(type, 0x1B7);
    EXPECT_EQ(OnlyFrame(), HexRequestText(9, 0x29, 3, ""));
}

TEST_F(GenericCommands, ReadIdAlwaysAddressesIdZero) {
    AnswerWith(0, "2A");
    unsigned char id = 0;
    ASSERT_EQ(Korvi70_PodNrId(&id), 0);
    EXPECT_EQ(id, 0x2A);
    EXPECT_EQ(OnlyFrame(), HexRequestText(0, 0x29, 1, ""));
}

TEST_F(GenericCommands, WriteIdSendsTheNewIdToTheCurrentOne) {
    AnswerWith(0, "");
    ASSERT_EQ(Korvi70_ZapNrId(5, 0x7E), 0);
    EXPECT_EQ(OnlyFrame(), HexRequestText(5, 0x29, 2, "7E"));
}

TEST_F(GenericCommands, WriteIdRefusesTheSameIdAndIdsOutOfRangeWithoutTraffic) {
    AnswerWith(0, "");
    EXPECT_EQ(Korvi70_ZapNrId(5, 5), 1);
    EXPECT_EQ(Korvi70_ZapNrId(0, 256), 1);
    EXPECT_EQ(Korvi70_ZapNrId(-1, 3), 1);
    EXPECT_EQ(Korvi70_ZapNrId(300, 3), 1);
    EXPECT_TRUE(line_.Written().empty());
}

TEST_F(GenericCommands, BasicValueOneTravelsAs3F800000) {
    AnswerWith(0, "");
    ASSERT_EQ(Korvi70_ZapWartPodstawowa(3, 1.0), 0);
    EXPECT_EQ(OnlyFrame(), HexRequestText(3, 0x29, 5, "3F800000"));
}

TEST_F(GenericCommands, BasicValueOutsideSinglePrecisionIsRefused) {
    AnswerWith(0, "");
    EXPECT_EQ(Korvi70_ZapWartPodstawowa(3, std::numeric_limits<double>::quiet_NaN()), 1);
    EXPECT_EQ(Korvi70_ZapWartPodstawowa(3, std::numeric_limits<double>::infinity()), 1);
    EXPECT_EQ(Korvi70_ZapWartPodstawowa(3, -1e39), 1);
    EXPECT_TRUE(line_.Written().empty());
}

TEST_F(GenericCommands, BasicValueReadIsWidenedFromSinglePrecision) {
    AnswerWith(0, "3FA568C6");
    double value = 0;
    ASSERT_EQ(Korvi70_PodWartPodstawowa(3, &value), 0);
    EXPECT_EQ(value, static_cast<double>(std::bit_cast<float>(0x3FA568C6u)));
    EXPECT_NEAR(value, 1.2922599, 1e-7);
}

TEST_F(GenericCommands, StatusFourLeavesTheBasicValueUntouched) {
    AnswerWith(4, "3FA568C6");
    double value = -7.5;
    EXPECT_EQ(Korvi70_PodWartPodstawowa(3, &value), 4);
    EXPECT_EQ(value, -7.5);
}

TEST_F(GenericCommands, SerialNumberIsCopiedAsItCameAndTerminated) {
    AnswerWith(0, "AB-12 c!");
    char text[Korvi70_DlugoscNumeruSeryjnego + 1];
    std::memset(text, 'x', sizeof text);
    ASSERT_EQ(Korvi70_PodNumerSeryjny(4, text), 0);
    EXPECT_STREQ(text, "AB-12 c!");
    EXPECT_EQ(OnlyFrame(), HexRequestText(4, 0x29, 6, ""));
}

TEST_F(GenericCommands, SerialNumberWriteSendsExactlyEightCharacters) {
    AnswerWith(0, "");
    ASSERT_EQ(Korvi70_ZapNumerSeryjny(4, "12345678"), 0);
    ASSERT_EQ(Korvi70_ZapNumerSeryjny(4, "1234"), 0);
    ASSERT_EQ(Korvi70_ZapNumerSeryjny(4, "1234567890"), 0);
    ASSERT_EQ(line_.Frames().size(), 3u);
    EXPECT_EQ(line_.Frames()[0], HexRequestText(4, 0x29, 7, "12345678"));
    EXPECT_EQ(line_.Frames()[1], HexRequestText(4, 0x29, 7, "1234    "));
    EXPECT_EQ(line_.Frames()[2], HexRequestText(4, 0x29, 7, "12345678"));
}

TEST_F(GenericCommands, TextsWithFrameBytesOrNoTextAreRefused) {
    AnswerWith(0, "");
    EXPECT_EQ(Korvi70_ZapNumerSeryjny(4,
                                      "12\x01"
                                      "45678"),
              1);
    EXPECT_EQ(Korvi70_ZapCzasDate(4, "01-02-2024\n12:00"), 1);
    EXPECT_EQ(Korvi70_ZapNumerSeryjny(4, nullptr), 1);
    EXPECT_EQ(Korvi70_PodNumerSeryjny(4, nullptr), 1);
    EXPECT_TRUE(line_.Written().empty());
    // A control character after the field's width never travels: accepted.
    EXPECT_EQ(Korvi70_ZapNumerSeryjny(4, "12345678\x01"), 0);
}

TEST_F(GenericCommands, DateTextOfSeventeenCharactersBothWays) {
    const std::string clock = "01-31-2024 23:59:";
    AnswerWith(0, clock);
    char text[Korvi70_DlugoscCzasuDaty + 1];
    ASSERT_EQ(Korvi70_PodCzasDate(0, text), 0);
    EXPECT_EQ(std::string(text), clock);
    AnswerWith(0, "");
    ASSERT_EQ(Korvi70_ZapCzasDate(0, "12-24-2023 18:00:"), 0);
    EXPECT_EQ(line_.Frames()[1], HexRequestText(0, 0x29, 10, "12-24-2023 18:00:"));
}

TEST_F(GenericCommands, ACheckOneBitOffGivesThree) {
    AnswerWith(0, "01-31-2024 23:59:", /*breakCheck=*/true);
    char text[Korvi70_DlugoscCzasuDaty + 1];
    EXPECT_EQ(Korvi70_PodCzasDate(0, text), 3);
}

TEST_F(GenericCommands, NonHexReplyDataGivesThree) {
    AnswerWith(0, "01G0");
    int type = -1;
    EXPECT_EQ(Korvi70_PrzedstawSie(0, &type), 3);
}

TEST_F(GenericCommands, ASilentLineGivesThree) {
    int type = -1;
    EXPECT_EQ(Korvi70_PrzedstawSie(0, &type), 3);
    EXPECT_EQ(type, -1);
}

TEST_F(GenericCommands, AReplyToAnotherTransactionGivesThree) {
    line_.SetResponder([](std::string_view) { return korvi70_test::HexReply(0, 0x2A, 0, "01B0"); });
    int type = -1;
    EXPECT_EQ(Korvi70_PrzedstawSie(0, &type), 3);
}

TEST_F(GenericCommands, NoOperationSendsTheLegacyFrameAndAcceptsItsReply) {
    line_.SetResponder([](std::string_view) { return std::string("\xFF\x00\x05\x82\x01", 5); });
    ASSERT_EQ(Korvi70_NOP(5), 0);
    EXPECT_EQ(line_.Written(), std::string("\xFF\xFF\x00\x05\x48\x83\x01", 7));
}

TEST_F(GenericCommands, NoOperationRefusesAddressesAndPortsOutOfRange) {
    EXPECT_EQ(Korvi70_NOP(1), 1);
    EXPECT_EQ(Korvi70_NOP(256), 1);
    Korvi70_NrZlacza = 5;
    EXPECT_EQ(Korvi70_NOP(5), 1);
    Korvi70_NrZlacza = kPort;
    EXPECT_TRUE(line_.Written().empty());
}

TEST_F(GenericCommands, NoOperationWithAWrongLengthByteGivesThree) {
    line_.SetResponder([](std::string_view) { return std::string("\x00\x05\x83\x01", 4); });
    EXPECT_EQ(Korvi70_NOP(5), 3);
}

}  // namespace
