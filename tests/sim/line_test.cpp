// Timing of the simulated line: pacing, delay, turnaround, and the
// in-process port device's hold on replies.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "platform/system.h"
#include "sim/com_device.h"
#include "sim/line.h"
#include "sim/schedule.h"

namespace {

const std::string kIdentify = std::string("\xFF\xFF\x00", 3) + "007129030E\x01";

TEST(OutputSchedule, BytesArriveOneByteTimeApartInOrder) {
    sim::OutputSchedule out;
    out.Add("ab", 10.0, 0.5);
    out.Add("c", 10.0, 0.5);  // the line is busy until 11.0
    unsigned char got[4];
    EXPECT_EQ(out.Take(10.4, got, 4), 0u);
    EXPECT_DOUBLE_EQ(out.NextArrival(), 10.5);
    EXPECT_EQ(out.CountArrived(11.0), 2u);
    EXPECT_EQ(out.Take(11.2, got, 4), 2u);
    EXPECT_EQ(got[1], 'b');
    EXPECT_DOUBLE_EQ(out.NextArrival(), 11.5);
}

TEST(OutputSchedule, GatedBytesWaitForTheirGateAndHoldBackWhatFollows) {
    sim::OutputSchedule out;
    out.Add("e", 0, 0);
    out.Add("r", 0, 0, /*gate=*/3);
    out.Add("x", 0, 0);
    unsigned char got[4];
    EXPECT_EQ(out.Take(1, got, 4), 1u);
    EXPECT_TRUE(std::isinf(out.NextArrival()));
    out.DiscardArrived(1);
    out.Open(2);
    EXPECT_EQ(out.Take(1, got, 4), 0u);
    out.Open(3);
    EXPECT_EQ(out.Take(1, got, 4), 2u);
}

TEST(InstrumentLine, PacedRequestAndReplyTakeTheirWireTime) {
    sim::Instrument instrument;
    instrument.Faults().baud = 38400;
    instrument.Faults().delay = 0.01;
    sim::InstrumentLine line(instrument);
    line.turnaround = 0.002;
    line.Write(reinterpret_cast<const unsigned char *>(kIdentify.data()), kIdentify.size(), 100.0);
    const double byte = 10.0 / 38400;
    // The reply's first byte: after the request's 14 bytes, the turnaround,
    // the delay and its own byte time; the 18th one 17 byte times later.
    EXPECT_NEAR(line.Output().NextArrival(), 100.0 + 14 * byte + 0.012 + byte, 1e-9);
    EXPECT_EQ(line.Output().CountArrived(100.0 + 14 * byte + 0.012 + 17.5 * byte), 17u);
    EXPECT_EQ(line.Output().CountArrived(100.0 + 14 * byte + 0.012 + 18 * byte), 18u);
}

TEST(InstrumentLine, EchoFollowsEachByte) {
    sim::Instrument instrument;
    instrument.Faults().echo = true;
    instrument.Faults().silent = true;
    sim::InstrumentLine line(instrument);
    line.Write(reinterpret_cast<const unsigned char *>("ab"), 2, 5.0);
    unsigned char got[4];
    EXPECT_EQ(line.Output().Take(5.0, got, 4), 2u);
}

TEST(SimComDevice, AReplyWaitsUntilTheEchoAheadOfItIsTaken) {
    sim::Instrument instrument;
    instrument.Faults().echo = true;
    sim::SimComDevice device(instrument);
    device.Write(reinterpret_cast<const unsigned char *>(kIdentify.data()), kIdentify.size());
    EXPECT_EQ(device.Available(), kIdentify.size());  // the echo only
    device.DiscardInput();
    EXPECT_EQ(device.Available(), 0u);
    unsigned char reply[64];
    const std::size_t n = device.Read(reply, sizeof reply, 0.0);
    EXPECT_EQ(std::string(reinterpret_cast<char *>(reply), n).substr(3, 8), "71002900");
}

TEST(SimComDevice, ADelayedReplyIsWaitedForWithinTheTimeOutOnly) {
    sim::Instrument instrument;
    instrument.Faults().delay = 0.05;
    sim::SimComDevice device(instrument);
    device.Write(reinterpret_cast<const unsigned char *>(kIdentify.data()), kIdentify.size());
    unsigned char reply[64];
    double start = platform::Timer();
    EXPECT_EQ(device.Read(reply, sizeof reply, 0.01), 0u);
    EXPECT_GE(platform::Timer() - start, 0.009);  // slept the time-out through
    EXPECT_GT(device.Read(reply, sizeof reply, 1.0), 0u);
    EXPECT_LT(platform::Timer() - start, 0.5);
}

}  // namespace
