// The line between a program and the simulated instrument: request bytes
// take their wire time to arrive (when paced), the echo follows each byte,
// and a reply leaves after the request's last byte, the turnaround and the
// instrument's delay, byte by byte at the line's rate.
#pragma once
#include <cstdint>
#include <string_view>

#include "sim/instrument.h"
#include "sim/schedule.h"

namespace sim {

class InstrumentLine {
public:
    explicit InstrumentLine(Instrument &instrument) : instrument_(instrument) {}

    // Bytes the program wrote at `now`; replies are held back behind gate
    // (0 = not held).
    void Write(const unsigned char *data, std::size_t count, double now, std::uint64_t replyGate = 0);
    OutputSchedule &Output() { return output_; }
    Instrument &Device() { return instrument_; }
    // Seconds between a request's end and the first byte of its reply,
    // before the instrument's own delay.
    double turnaround = 0.0;

private:
    Instrument &instrument_;
    OutputSchedule output_;
    double inputFreeAt_ = 0.0;
};

}  // namespace sim
