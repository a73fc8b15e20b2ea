// The seven register commands byte for byte against a scripted line.
#include <bit>
#include <cstdint>
#include <limits>

#include "korvi70/link.h"
#include "tests/korvi70/fake_line.h"
#include "vgx52/registers.h"

namespace {

using korvi70_test::FakeLineTest;
using korvi70_test::HexRequestText;

class Registers : public FakeLineTest {};

TEST_F(Registers, AirGasConstantTravelsAs438F870A) {
    AnswerWith(0, "");
    ASSERT_EQ(VGX52_ZapWartFloat(0, 'a', 287.055), 0);
    EXPECT_EQ(OnlyFrame(), HexRequestText(0, 0x29, 0x83, "61438F870A"));
}

TEST_F(Registers, RealReadIsSinglePrecisionWidened) {
    AnswerWith(0, "3FA568C6");
    double value = 0;
    ASSERT_EQ(VGX52_PodWartFloat(0, 'E', &value), 0);
    EXPECT_EQ(OnlyFrame(), HexRequestText(0, 0x29, 0x82, "45"));
    EXPECT_EQ(value, static_cast<double>(std::bit_cast<float>(std::uint32_t{0x3FA568C6})));
    EXPECT_NEAR(value, 1.2922599, 5e-8);
}

TEST_F(Registers, RealIIsReadableButNotWritable) {
    AnswerWith(0, "00000000");
    double value = -1;
    EXPECT_EQ(VGX52_PodWartFloat(0, 'I', &value), 0);
    EXPECT_EQ(value, 0.0);
    line_.Clear();
    EXPECT_EQ(VGX52_ZapWartFloat(0, 'I', 1.0), 1);
    EXPECT_TRUE(line_.Written().empty());
}

TEST_F(Registers, CodesOutsideEachCommandsRangeAreRefusedWithoutTraffic) {
    int i = 0;
    double d = 0;
    for (char code : {'@', 'H', 'a', '\0'}) EXPECT_EQ(VGX52_PodKod(0, code, &i), 1) << code;
    for (char code : {'J', 's', '`', 'Z'}) EXPECT_EQ(VGX52_PodWartFloat(0, code, &d), 1) << code;
    for (char code : {'I', 'J', 's'}) EXPECT_EQ(VGX52_ZapWartFloat(0, code, 1.0), 1) << code;
    for (char code : {'C', 'b', 'D'}) {
        EXPECT_EQ(VGX52_PodWartInt(0, code, &i), 1) << code;
        EXPECT_EQ(VGX52_ZapWartInt(0, code, 1), 1) << code;
    }
    EXPECT_EQ(VGX52_PodKrokWzorCisn(0, 0, 'A', &d), 1);
    EXPECT_EQ(VGX52_PodKrokWzorCisn(0, 16, 'A', &d), 1);
    EXPECT_EQ(VGX52_PodKrokWzorCisn(0, 1, 'D', &d), 1);
    EXPECT_EQ(VGX52_PodKrokWzorCisn(0, 1, 'a', &d), 1);
    EXPECT_EQ(VGX52_ZapKrokWzorCisn(0, 0, 'A', 1.0), 1);
    EXPECT_EQ(VGX52_ZapKrokWzorCisn(0, 15, 'D', 1.0), 1);
    EXPECT_EQ(VGX52_ZapKrokWzorCisn(0, -1, 'B', 1.0), 1);
    EXPECT_TRUE(line_.Written().empty());
}

TEST_F(Registers, NullOutputsAndUnrepresentableRealsAreRefused) {
    EXPECT_EQ(VGX52_PodKod(0, 'A', nullptr), 1);
    EXPECT_EQ(VGX52_PodWartFloat(0, 'A', nullptr), 1);
    EXPECT_EQ(VGX52_PodWartInt(0, 'A', nullptr), 1);
    EXPECT_EQ(VGX52_PodKrokWzorCisn(0, 1, 'A', nullptr), 1);
    EXPECT_EQ(VGX52_ZapWartFloat(0, 'a', std::numeric_limits<double>::quiet_NaN()), 1);
    EXPECT_EQ(VGX52_ZapWartFloat(0, 'a', 1e300), 1);
    EXPECT_EQ(VGX52_ZapKrokWzorCisn(0, 1, 'A', -std::numeric_limits<double>::infinity()), 1);
    EXPECT_TRUE(line_.Written().empty());
}

TEST_F(Registers, IntegersAreSignExtendedFrom16Bits) {
    int value = 0;
    AnswerWith(0, "FFFF");
    ASSERT_EQ(VGX52_PodWartInt(0, 'A', &value), 0);
    EXPECT_EQ(value, -1);
    AnswerWith(0, "8000");
    ASSERT_EQ(VGX52_PodWartInt(0, 'B', &value), 0);
    EXPECT_EQ(value, -32768);
    AnswerWith(0, "7fff");
    ASSERT_EQ(VGX52_PodWartInt(0, 'a', &value), 0);
    EXPECT_EQ(value, 32767);
    EXPECT_EQ(line_.Frames()[0], HexRequestText(0, 0x29, 0x84, "41"));
    EXPECT_EQ(line_.Frames()[2], HexRequestText(0, 0x29, 0x84, "61"));
}

TEST_F(Registers, IntegerWritesSendTheLow16Bits) {
    AnswerWith(0, "");
    ASSERT_EQ(VGX52_ZapWartInt(0, 'A', 0x12345), 0);
    ASSERT_EQ(VGX52_ZapWartInt(0, 'B', -1), 0);
    ASSERT_EQ(VGX52_ZapWartInt(0, 'a', -32768), 0);
    EXPECT_EQ(line_.Frames()[0], HexRequestText(0, 0x29, 0x85, "412345"));
    EXPECT_EQ(line_.Frames()[1], HexRequestText(0, 0x29, 0x85, "42FFFF"));
    EXPECT_EQ(line_.Frames()[2], HexRequestText(0, 0x29, 0x85, "618000"));
}

TEST_F(Registers, CodeValueIsThirtyTwoBits) {
    AnswerWith(0, "FFFFFFFE");
    int value = 0;
    ASSERT_EQ(VGX52_PodKod(0, 'G', &value), 0);
    EXPECT_EQ(value, -2);
    EXPECT_EQ(OnlyFrame(), HexRequestText(0, 0x29, 0x81, "47"));
}

TEST_F(Registers, CalibrationCellsCarryStepThenColumn) {
    AnswerWith(0, "3F800000");
    double value = 0;
    ASSERT_EQ(VGX52_PodKrokWzorCisn(0, 15, 'C', &value), 0);
    EXPECT_EQ(value, 1.0);
    AnswerWith(0, "");
    ASSERT_EQ(VGX52_ZapKrokWzorCisn(0, 1, 'A', -2.5), 0);
    EXPECT_EQ(line_.Frames()[0], HexRequestText(0, 0x29, 0x86, "0F43"));
    EXPECT_EQ(line_.Frames()[1], HexRequestText(0, 0x29, 0x87, "0141C0200000"));
}

TEST_F(Registers, OnlyTheLowByteOfTheIdIsSent) {
    AnswerWith(0, "3F800000");
    double value = 0;
    ASSERT_EQ(VGX52_PodWartFloat(0x1234, 'a', &value), 0);
    EXPECT_EQ(OnlyFrame(), HexRequestText(0x34, 0x29, 0x82, "61"));
}

TEST_F(Registers, StatusFiveIsReturnedWithoutReadingData) {
    // After the status come bytes that would fail every later check.
    line_.SetResponder([](std::string_view) {
        return std::string(
            "\x00"
            "71002905",
            9);
    });
    double value = 42;
    EXPECT_EQ(VGX52_PodWartFloat(0, 'E', &value), 5);
    EXPECT_EQ(value, 42);
}

TEST_F(Registers, CheckMismatchGivesThree) {
    AnswerWith(0, "3FA568C6", /*breakCheck=*/true);
    double value = 0;
    EXPECT_EQ(VGX52_PodWartFloat(0, 'E', &value), 3);
    AnswerWith(0, "", /*breakCheck=*/true);
    EXPECT_EQ(VGX52_ZapWartFloat(0, 'a', 287.055), 3);
}

TEST_F(Registers, ShortOrMissingTerminatorGivesThree) {
    line_.SetResponder([](std::string_view) {
        std::string reply = korvi70_test::HexReply(0, 0x29, 0, "3FA568C6");
        reply.back() = '\x02';
        return reply;
    });
    double value = 0;
    EXPECT_EQ(VGX52_PodWartFloat(0, 'E', &value), 3);
    line_.SetResponder([](std::string_view) {
        std::string reply = korvi70_test::HexReply(0, 0x29, 0, "3FA568C6");
        return reply.substr(0, reply.size() - 6);
    });
    EXPECT_EQ(VGX52_PodWartFloat(0, 'E', &value), 3);
}

TEST_F(Registers, LinkNotOpenGivesTwo) {
    platform::CloseCom(kPort);
    double value = 0;
    EXPECT_EQ(VGX52_PodWartFloat(0, 'E', &value), 2);
}

}  // namespace
