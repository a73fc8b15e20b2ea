#include "sim/modem_device.h"

#include <time.h>

#include <algorithm>
#include <cerrno>
#include <cmath>

#include "platform/system.h"

namespace sim {
namespace {

void SleepUntil(double when) {
    const double left = when - platform::Timer();
    if (!(left > 0)) return;
    timespec ts{static_cast<time_t>(left), static_cast<long>((left - std::floor(left)) * 1e9)};
    while (nanosleep(&ts, &ts) == -1 && errno == EINTR) {}
}

}  // namespace

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
    SleepUntil(until);
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
