// poll() with a wait given in seconds to the nanosecond: paced output at
// 38400 baud needs waits far shorter than poll()'s milliseconds.
#pragma once
#include <poll.h>

#include <cmath>
#include <ctime>

#include "sim/schedule.h"

namespace sim {

// Waits up to `seconds`; a negative or infinite wait has no limit, 0 returns at once.
inline int PollFor(pollfd *fds, nfds_t count, double seconds) {
    if (!std::isfinite(seconds) || seconds < 0) return ppoll(fds, count, nullptr, nullptr);
    timespec wait{static_cast<time_t>(seconds), static_cast<long>((seconds - std::floor(seconds)) * 1e9)};
    return ppoll(fds, count, &wait, nullptr);
}

}  // namespace sim
