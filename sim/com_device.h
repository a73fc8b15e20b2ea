// The simulated instrument behind a platform::ComDevice, in the same
// process and thread as the program: attach it to a port number and open
// that port. A reply is held back until the program reads with nothing else
// queued ahead of it, as a real instrument's turnaround keeps it off the
// line while the program takes or flushes its echo; delay, pacing and the
// line's other settings wait in real time.
#pragma once
#include <cstdint>

#include "platform/com.h"
#include "sim/instrument.h"
#include "sim/line.h"

namespace sim {

class SimComDevice : public platform::ComDevice {
public:
    explicit SimComDevice(Instrument &instrument, const LineSettings &line = {}) : line_(instrument, line) {}

    void Write(const unsigned char *data, std::size_t count) override;
    std::size_t Read(unsigned char *data, std::size_t count, double timeoutSeconds) override;
    std::size_t Available() override;
    void DiscardInput() override;

    Instrument &Device() { return line_.Device(); }
    InstrumentLine &Line() { return line_; }

private:
    InstrumentLine line_;
    std::uint64_t writes_ = 0;
};

}  // namespace sim
