// The line between a program and the simulated instrument: request bytes
// take their wire time to arrive (when paced), the echo follows each byte,
// and a reply leaves after the request's last byte, the turnaround and the
// instrument's delay, byte by byte at the line's rate. How the bytes then
// reach the program is the output schedule's (LineSettings).
#pragma once
#include <cstdint>
#include <string_view>

#include "sim/instrument.h"
#include "sim/line_settings.h"
#include "sim/schedule.h"

namespace sim {

class InstrumentLine {
public:
    explicit InstrumentLine(Instrument &instrument, const LineSettings &settings = {})
        : instrument_(instrument), output_(settings) {}

    // Bytes the program wrote at `now`; replies are held back behind gate
    // (0 = not held).
    void Write(const unsigned char *data, std::size_t count, double now, std::uint64_t replyGate = 0);
    OutputSchedule &Output() { return output_; }
    Instrument &Device() { return instrument_; }
    const LineSettings &Settings() const { return output_.Settings(); }
    // A slower stretch between the program and the instrument (a modem
    // connection at this speed); 0 = none. Bytes to and from the
    // instrument take the slower of the two rates.
    void SetConnectionBaud(long baud) { connectionBaud_ = baud; }
    // Seconds a byte to or from the instrument takes on the wire.
    double InstrumentByteTime() const;
    // Seconds between a request's end and the first byte of its reply,
    // before the instrument's own delay.
    double turnaround = 0.0;

private:
    Instrument &instrument_;
    OutputSchedule output_;
    double inputFreeAt_ = 0.0;
    long connectionBaud_ = 0;
};

}  // namespace sim
