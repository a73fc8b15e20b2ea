#include <cerrno>
#include <cmath>
#include <ctime>

#include "platform/system.h"

namespace platform {

bool LocalTime(std::time_t t, std::tm &out) { return localtime_r(&t, &out) != nullptr; }

void Delay(double seconds) {
    // A day at most; nothing in the program waits that long on purpose.
    if (!(seconds > 0)) return;
    if (seconds > 86400.0) seconds = 86400.0;
    timespec end{};
    clock_gettime(CLOCK_MONOTONIC, &end);
    const double whole = std::floor(seconds);
    end.tv_sec += static_cast<time_t>(whole);
    end.tv_nsec += static_cast<long>((seconds - whole) * 1e9);
    if (end.tv_nsec >= 1000000000L) {
        end.tv_sec += 1;
        end.tv_nsec -= 1000000000L;
    }
    // An absolute deadline keeps signals from stretching the delay.
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &end, nullptr) == EINTR) {}
}

}  // namespace platform
