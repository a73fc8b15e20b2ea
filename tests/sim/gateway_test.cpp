// The simulated TCP gateway's envelopes.
#include <gtest/gtest.h>

#include <string>

#include "sim/gateway.h"

namespace {

struct GatewayTest : ::testing::Test {
    sim::Instrument instrument;
    sim::GatewayFaults faults;
    sim::GatewayCounters counters;
    sim::Gateway gateway{instrument, faults, counters};

    std::string Send(const std::string &bytes) {
        std::string out;
        gateway.Receive(bytes, out);
        return out;
    }
};

TEST_F(GatewayTest, ForwardsThePayloadAndAnswersWithTheReplyPayload) {
    EXPECT_EQ(Send("b000A007129030E"), "b000E7100290001B07E");
    EXPECT_EQ(counters.lastPayload, "007129030E");
}

TEST_F(GatewayTest, EnvelopesMayArriveInPiecesOrTogether) {
    EXPECT_EQ(Send("b00"), "");
    EXPECT_EQ(Send("0A007129"), "");
    EXPECT_EQ(Send("030Eb000A007129030E"), "b000E7100290001B07Eb000E7100290001B07E");
    EXPECT_EQ(counters.envelopes, 2);
}

TEST_F(GatewayTest, BytesOutsideAnEnvelopeAreSkipped) {
    EXPECT_EQ(Send("\xFF\xFF"
                   "bZZZZb000A007129030E"),
              "b000E7100290001B07E");
    EXPECT_EQ(counters.skippedBytes, 7);
    // A length beyond the link's 1024-byte buffer starts no request.
    EXPECT_EQ(Send("b0401b000A007129030E"), "b000E7100290001B07E");
    EXPECT_EQ(counters.skippedBytes, 12);
}

TEST_F(GatewayTest, FaultSwitches) {
    faults.errorCode = 0x10;
    EXPECT_EQ(Send("b000A007129030E"), "c00040010");
    faults.errorCode = -1;
    faults.silent = true;
    EXPECT_EQ(Send("b000A007129030E"), "");
    faults.silent = false;
    faults.rawReply = "b0010xx";
    EXPECT_EQ(Send("b000A007129030E"), "b0010xx");
    faults.rawReply.clear();
    instrument.Faults().silent = true;  // nothing to pass on
    EXPECT_EQ(Send("b000A007129030E"), "");
    EXPECT_EQ(counters.envelopes, 4);
}

}  // namespace
