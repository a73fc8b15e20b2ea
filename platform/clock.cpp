#include <chrono>
#include <cstdio>

#include "platform/system.h"

namespace platform {
namespace {

bool LocalNow(std::tm &out) { return LocalTime(std::time(nullptr), out); }

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

}  // namespace platform
