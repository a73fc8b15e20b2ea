#include "sim/modem_device.h"

#include <algorithm>

#include "platform/system.h"

namespace sim {

void ModemComDevice::Write(const unsigned char *data, std::size_t count) {
    modem_.Write(data, count, platform::Timer());
}

std::size_t ModemComDevice::Read(unsigned char *data, std::size_t count, double timeoutSeconds) {
    const double now = platform::Timer();
    modem_.Poll(now);
    std::size_t n = line_.Output().Take(now, data, count);
    if (n > 0) return n;
    // Nothing else can come while this thread waits here: sleep until the
    // next byte or dial answer is due, or the time-out.
    const double next = std::min(line_.Output().NextArrival(), modem_.NextEvent());
    const double until = std::min(next, now + std::max(timeoutSeconds, 0.0));
    platform::Delay(until - platform::Timer());
    modem_.Poll(until);
    return line_.Output().Take(until, data, count);
}

std::size_t ModemComDevice::Available() {
    const double now = platform::Timer();
    modem_.Poll(now);
    return line_.Output().CountArrived(now);
}

void ModemComDevice::DiscardInput() {
    const double now = platform::Timer();
    modem_.Poll(now);
    line_.Output().DiscardArrived(now);
}

}  // namespace sim
