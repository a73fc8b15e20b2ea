// The simulated instrument's frame reader, replies and fault switches.
#include <gtest/gtest.h>

#include <string>

#include "sim/instrument.h"

namespace {

std::string B(std::initializer_list<int> bytes) {
    std::string s;
    for (int b : bytes) s.push_back(static_cast<char>(b));
    return s;
}

// A hex request frame with its check.
std::string HexFrame(const std::string &text) {
    unsigned char x = 0;
    for (char c : text) x ^= static_cast<unsigned char>(c);
    return B({0xFF, 0xFF, 0x00}) + text + sim::Hex(x, 2) + B({0x01});
}

const std::string kIdentifyReply = B({0xFF, 0xFF, 0x00}) +
                                   "71002900"
                                   "01B0"
                                   "7E" +
                                   B({0x01});

TEST(Instrument, AnswersIdentifyToItsOwnIdOrToZero) {
    sim::Instrument instrument;
    EXPECT_EQ(instrument.Process(HexFrame("00712903")), kIdentifyReply);
    EXPECT_EQ(instrument.Process(HexFrame("05712903")).substr(3, 4), "7105");  // source = request's destination
    EXPECT_EQ(instrument.Process(HexFrame("06712903")), "");
    EXPECT_EQ(instrument.Counters().otherAddress, 1);
    EXPECT_EQ(instrument.Counters().hexFrames, 2);
}

TEST(Instrument, IgnoresBadChecksUnknownCommandsAndNoise) {
    sim::Instrument instrument;
    EXPECT_EQ(instrument.Process(B({0xFF, 0xFF, 0x00}) + "0071290300" + B({0x01})), "");
    EXPECT_EQ(instrument.Counters().badFrames, 1);
    EXPECT_EQ(instrument.Process(HexFrame("00712977")), "");
    EXPECT_EQ(instrument.Counters().unknownCommands, 1);
    // Bytes outside a frame, an over-long frame, then a good frame still works.
    EXPECT_EQ(instrument.Process("noise" + B({0x00}) + std::string(5000, 'A') + B({0x01})), "");
    EXPECT_EQ(instrument.Process(HexFrame("00712903")), kIdentifyReply);
}

TEST(Instrument, AZeroInsideAFrameStartsItAgain) {
    sim::Instrument instrument;
    EXPECT_EQ(instrument.Process(B({0xFF, 0xFF, 0x00}) + "0071" + HexFrame("00712903")), kIdentifyReply);
}

TEST(Instrument, FaultSwitchesShapeTheReply) {
    sim::Instrument instrument;
    auto &f = instrument.Faults();
    f.wrongCheck = true;
    EXPECT_EQ(instrument.Process(HexFrame("00712903")).substr(15, 2), "7F");
    f.wrongCheck = false;
    f.wrongTransaction = true;
    EXPECT_EQ(instrument.Process(HexFrame("00712903")).substr(3, 8), "71002A00");
    f.wrongTransaction = false;
    f.status = 5;
    const std::string status = instrument.Process(HexFrame("00712903"));
    EXPECT_EQ(status.substr(3, 8), "71002905");
    EXPECT_EQ(status.size(), 3u + 8 + 2 + 1);  // no data
    f.status = 0;
    f.garbage = "xyz";
    EXPECT_EQ(instrument.Process(HexFrame("00712903")), "xyz" + kIdentifyReply);
    f.garbage.clear();
    f.cutAfter = 5;
    EXPECT_EQ(instrument.Process(HexFrame("00712903")), kIdentifyReply.substr(0, 5));
    f.cutAfter = -1;
    f.silent = true;
    f.echo = true;
    EXPECT_EQ(instrument.Process(HexFrame("00712903")), HexFrame("00712903"));  // the echo only
}

TEST(Instrument, TheTypeCodeIsConfigurable) {
    sim::Instrument instrument;
    instrument.State().typeCode = 0x1B7;
    EXPECT_EQ(instrument.Process(HexFrame("00712903")).substr(11, 4), "01B7");
}

TEST(Instrument, LegacyFramesOnTheirAddressOnly) {
    sim::Instrument instrument;
    EXPECT_EQ(instrument.Process(B({0xFF, 0xFF, 0x00, 0x05, 'H', 0x83, 0x01})),
              B({0xFF, 0xFF, 0x00, 0x05, 0x82, 0x01}));
    EXPECT_EQ(instrument.Process(B({0xFF, 0xFF, 0x00, 0x06, 'H', 0x83, 0x01})), "");
    EXPECT_EQ(instrument.Process(B({0xFF, 0xFF, 0x00, 0x05, 'H', 0x84, 0x01})), "");  // wrong length byte
    EXPECT_EQ(instrument.Process(B({0xFF, 0xFF, 0x00, 0x05, 'Z', 0x83, 0x01})), "");  // no such letter
}

TEST(Instrument, PasswordIsAcceptedOnlyWhenRight) {
    sim::Instrument instrument;
    EXPECT_EQ(instrument.Process(B({0xFF, 0xFF, 0x00, 5, 'D'}) + "VelmoKarm" + B({0x8C, 0x01})), "");
    EXPECT_FALSE(instrument.State().passwordGiven);
    EXPECT_EQ(instrument.Process(B({0xFF, 0xFF, 0x00, 5, 'D'}) + "VelmoKarn" + B({0x8C, 0x01})),
              B({0xFF, 0xFF, 0x00, 5, 0x82, 0x01}));
    EXPECT_TRUE(instrument.State().passwordGiven);
    instrument.Process(B({0xFF, 0xFF, 0x00, 5, 'E', 0x83, 0x01}));
    EXPECT_FALSE(instrument.State().passwordGiven);
}

TEST(Instrument, IoMemoryIsWrittenAndReadWithinItsSize) {
    sim::Instrument instrument;
    // The whole 16-bit I/O space is there.
    EXPECT_EQ(instrument.Process(B({0xFF, 0xFF, 0x00, 5, 'G'}) + "FFFE02abCD" + B({0x8D, 0x01})),
              B({0xFF, 0xFF, 0x00, 5, 0x82, 0x01}));
    EXPECT_EQ(instrument.State().io[0xFFFE], 0xAB);
    EXPECT_EQ(instrument.Process(B({0xFF, 0xFF, 0x00, 5, 'F'}) + "FFFE02" + B({0x89, 0x01})),
              B({0xFF, 0xFF, 0x00, 5}) + "ABCD" + B({0x86, 0x01}));
    // Past the end, a count of 0, a count that disagrees with the data, bad hex: no answer.
    EXPECT_EQ(instrument.Process(B({0xFF, 0xFF, 0x00, 5, 'F'}) + "FFFF02" + B({0x89, 0x01})), "");
    EXPECT_EQ(instrument.Process(B({0xFF, 0xFF, 0x00, 5, 'F'}) + "000000" + B({0x89, 0x01})), "");
    EXPECT_EQ(instrument.Process(B({0xFF, 0xFF, 0x00, 5, 'G'}) + "00000201" + B({0x8B, 0x01})), "");
    EXPECT_EQ(instrument.Process(B({0xFF, 0xFF, 0x00, 5, 'G'}) + "000001zz" + B({0x8B, 0x01})), "");
    EXPECT_EQ(instrument.State().io[0], 0);
}

TEST(Instrument, RawModeTakesBytesUntilItsHandlerLetsGo) {
    sim::Instrument instrument;
    instrument.EnterRawMode([](sim::Instrument &, unsigned char byte, std::string &reply) {
        reply.push_back(static_cast<char>(byte + 1));
        return byte != 'x';
    });
    EXPECT_EQ(instrument.Process("abx"), "bcy");
    EXPECT_FALSE(instrument.InRawMode());
    EXPECT_EQ(instrument.Process(HexFrame("00712903")), kIdentifyReply);
}

}  // namespace
