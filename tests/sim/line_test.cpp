// Timing of the simulated line: pacing, the USB adapter's packets, replies
// in pieces, delay, turnaround, and the in-process port device's hold on
// replies.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

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

// When each byte of 100 paced 0.1 ms apart from 10.0 reaches the program
// through an adapter with a latency of 16 ms.
TEST(OutputSchedule, AUsbAdapterDeliversAtItsLatencyTickOrOnceAPacketIsFull) {
    sim::LineSettings usb;
    usb.usbLatency = 0.016;
    sim::OutputSchedule out(usb);
    out.Add(std::string(100, 'x'), 10.0, 0.0001);
    // The 62nd byte is off the wire at 10.0062: the packet goes then; the
    // other 38 wait for the tick at 10.016.
    EXPECT_EQ(out.CountArrived(10.0061), 0u);
    EXPECT_EQ(out.CountArrived(10.00621), 62u);
    EXPECT_EQ(out.CountArrived(10.0159), 62u);
    EXPECT_EQ(out.CountArrived(10.01601), 100u);
    // A lone byte later waits for the next tick.
    out.Add("y", 10.020, 0.0001);
    EXPECT_NEAR(out.NextArrival(), 10.0062, 1e-9);
    unsigned char got[128];
    EXPECT_EQ(out.Take(10.02, got, sizeof got), 100u);
    EXPECT_NEAR(out.NextArrival(), 10.032, 1e-9);
}

// The sizes of the pieces a reply arrives in, and the gaps between them.
struct Pieces {
    std::vector<std::size_t> sizes;
    std::vector<double> gaps;
};
Pieces PiecesOf(const sim::LineSettings &line, std::size_t bytes) {
    sim::OutputSchedule out(line);
    out.Add(std::string(bytes, 'x'), 5.0, 0.0);
    Pieces pieces;
    double last = 5.0;
    unsigned char got[512];
    while (!out.Empty()) {
        const double at = out.NextArrival();
        pieces.sizes.push_back(out.Take(at, got, sizeof got));
        pieces.gaps.push_back(at - last);
        last = at;
    }
    return pieces;
}

TEST(OutputSchedule, ASplitReplyComesInPiecesOfOneToNBytesAtMostGApartAsItsSeedSays) {
    const sim::LineSettings split{0, 0, 4, 0.003, 7};
    const Pieces pieces = PiecesOf(split, 200);
    std::size_t total = 0, ones = 0, fours = 0;
    for (std::size_t size : pieces.sizes) {
        EXPECT_GE(size, 1u);
        EXPECT_LE(size, 4u);
        total += size;
        ones += size == 1;
        fours += size == 4;
    }
    EXPECT_EQ(total, 200u);
    EXPECT_GT(ones, 0u);
    EXPECT_GT(fours, 0u);
    for (double gap : pieces.gaps) EXPECT_LE(gap, 0.003 + 1e-12);
    EXPECT_EQ(pieces.gaps[0], 0.0) << "the first piece leaves at once";
    // The same seed cuts the same pieces; another seed others.
    EXPECT_EQ(PiecesOf(split, 200).sizes, pieces.sizes);
    EXPECT_NE(PiecesOf(sim::LineSettings{0, 0, 4, 0.003, 8}, 200).sizes, pieces.sizes);
    EXPECT_EQ(PiecesOf(sim::LineSettings{}, 200).sizes, std::vector<std::size_t>{200}) << "not split";
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
    instrument.Faults().delay = 0.01;
    sim::LineSettings paced;
    paced.baud = 38400;
    sim::InstrumentLine line(instrument, paced);
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
