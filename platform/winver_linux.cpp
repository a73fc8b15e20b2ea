#include <charconv>
#include <cstdlib>
#include <string_view>

#include "platform/system.h"

namespace platform {
namespace {

bool ParseNumber(std::string_view text, int &value) {
    if (text.empty() || text.size() > 4) return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size() && value >= 0;
}

// "major" or "major.minor"; anything else is not a version.
bool ParseVersion(std::string_view text, int &major, int &minor) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    const auto dot = text.find('.');
    int ma = 0, mi = 0;
    if (!ParseNumber(text.substr(0, dot), ma)) return false;
    if (dot != std::string_view::npos && !ParseNumber(text.substr(dot + 1), mi)) return false;
    major = ma;
    minor = mi;
    return true;
}

}  // namespace

void GetWinOSVersion(int *major, int *minor) {
    int ma = 10, mi = 0;
    if (const char *env = std::getenv("VGX52_WINVER")) ParseVersion(env, ma, mi);
    if (major) *major = ma;
    if (minor) *minor = mi;
}

}  // namespace platform
