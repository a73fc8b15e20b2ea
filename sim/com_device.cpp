#include "sim/com_device.h"

#include "platform/system.h"

namespace sim {

void SimComDevice::Write(const unsigned char *data, std::size_t count) {
    ++writes_;
    line_.Write(data, count, platform::Timer(), writes_);
}

std::size_t SimComDevice::Read(unsigned char *data, std::size_t count, double timeoutSeconds) {
    OutputSchedule &out = line_.Output();
    const double now = platform::Timer();
    std::size_t n = out.Take(now, data, count);
    if (n > 0) return n;
    // The program has read everything ahead of the replies (the echo):
    // only now does the instrument's turnaround end.
    out.Open(writes_);
    n = out.Take(now, data, count);
    if (n > 0) return n;
    const double next = out.NextArrival();
    if (next <= now + timeoutSeconds) {
        platform::Delay(next - platform::Timer());
        return out.Take(next, data, count);
    }
    // Nothing can come from this thread's own device while it waits here:
    // sleep the time-out through instead of being polled for it.
    if (timeoutSeconds > 0) platform::Delay(now + timeoutSeconds - platform::Timer());
    return 0;
}

std::size_t SimComDevice::Available() { return line_.Output().CountArrived(platform::Timer()); }

void SimComDevice::DiscardInput() { line_.Output().DiscardArrived(platform::Timer()); }

}  // namespace sim
