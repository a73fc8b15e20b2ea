// How the line between the program and a simulated device carries the
// bytes towards the program: paced at a baud rate, held back by a USB
// adapter, and cut into pieces. Each switch works alone; the random ones
// draw from a generator seeded with `seed`, so a run can be repeated.
#pragma once

namespace sim {

struct LineSettings {
    long baud = 0;            // > 0: each byte takes its wire time at this rate (8N1, 10 bits)
    double usbLatency = 0.0;  // > 0: bytes are held and delivered together every this many
                              // seconds, or as soon as kUsbPacketBytes have gathered
    int splitMax = 0;         // > 0: each reply arrives in pieces of 1..splitMax bytes
    double splitGap = 0.0;    // seconds of silence of up to this long between two pieces
    unsigned seed = 1;
};

// What an FTDI-style adapter delivers at most in one USB packet.
inline constexpr int kUsbPacketBytes = 62;

// A line as a bench has it: 38400 baud, a USB adapter at its default
// latency of 16 ms, and replies that come in pieces.
inline LineSettings RealLine(unsigned seed = 1) { return LineSettings{38400, 0.016, 8, 0.010, seed}; }

}  // namespace sim
