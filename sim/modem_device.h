// The simulated modem and instrument behind a platform::ComDevice, in the
// same process as the program: attach it to a port number and open that
// port. Dial answers and replies wait in real time.
#pragma once
#include "platform/com.h"
#include "sim/instrument.h"
#include "sim/line.h"
#include "sim/modem.h"

namespace sim {

class ModemComDevice : public platform::ComDevice {
public:
    ModemComDevice(Instrument &instrument, ModemSettings settings, const LineSettings &line = {})
        : line_(instrument, line), modem_(line_, std::move(settings)) {}

    void Write(const unsigned char *data, std::size_t count) override;
    std::size_t Read(unsigned char *data, std::size_t count, double timeoutSeconds) override;
    std::size_t Available() override;
    void DiscardInput() override;

    Modem &Device() { return modem_; }

private:
    InstrumentLine line_;
    Modem modem_;
};

}  // namespace sim
