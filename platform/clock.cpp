#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>

#include "platform/system.h"

namespace platform {
namespace {

bool LocalNow(std::tm &out) {
    const std::time_t now = std::time(nullptr);
    return localtime_r(&now, &out) != nullptr;
}

}  // namespace

std::string DateStr() {
    std::tm t{};
    if (!LocalNow(t)) return "00-00-0000";
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d-%02d-%04d", t.tm_mon + 1, t.tm_mday, t.tm_year + 1900);
    return buf;
}

std::string TimeStr() {
    std::tm t{};
    if (!LocalNow(t)) return "00:00:00";
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", t.tm_hour, t.tm_min, t.tm_sec);
    return buf;
}

int CurrentYear() {
    std::tm t{};
    return LocalNow(t) ? t.tm_year + 1900 : 1970;
}

double Timer() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

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
