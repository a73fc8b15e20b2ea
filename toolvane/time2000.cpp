#include "toolvane/time2000.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "platform/system.h"
#include "platform/utf8.h"

namespace {

constexpr std::uint32_t kDay = 86400;
constexpr std::uint32_t kCommonYear = 31536000;
constexpr std::uint32_t kLeapYear = 31622400;
constexpr std::uint32_t kFourYears = 126230400;

// The duration's buffer: "24855 days 03:14:07" (2^31 - 1 s) and the terminator.
constexpr std::size_t kDurationTextSize = 20;

// A date text of exactly `length` characters in as many bytes: the caller's
// buffer is sized in characters, and its characters are moved one by one.
bool OneByteCharacters(const char *text, std::size_t length) {
    const std::string_view view = platform::TextWithin(text, length + 1);
    return view.size() == length && platform::Utf8CharCount(view) == length;
}

constexpr int kMonthDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

long long FloorDiv(long long a, long long b) {
    long long q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

}  // namespace

std::uint32_t Toolvane_mktime2000(const Toolvane_tm2000 *tm) {
    if (tm == nullptr) return 0;
    // A month outside 1..12 carries into the year, so the month table is
    // never indexed out of its bounds.
    const long long monthIndex = static_cast<long long>(tm->month) - 1;
    const long long year = tm->year + FloorDiv(monthIndex, 12);
    const long long month0 = monthIndex - FloorDiv(monthIndex, 12) * 12;

    const long long cycles = FloorDiv(year, 4);
    const long long inCycle = year - cycles * 4;
    long long total = cycles * kFourYears;
    if (inCycle > 0) total += kLeapYear + (inCycle - 1) * kCommonYear;

    long long days = 0;
    for (long long m = 0; m < month0; ++m) days += kMonthDays[m];
    if (inCycle == 0 && month0 > 1) days += 1;

    total += (days + tm->day - 1) * static_cast<long long>(kDay) + static_cast<long long>(tm->hour) * 3600 +
             static_cast<long long>(tm->minute) * 60 + tm->second;
    // The result is defined modulo 2^32.
    return static_cast<std::uint32_t>(static_cast<unsigned long long>(total));
}

void Toolvane_gmtime2000(std::uint32_t seconds, Toolvane_tm2000 *out) {
    if (out == nullptr) return;
    out->weekday = static_cast<int>((seconds / kDay + 5) % 7);

    std::uint32_t year = (seconds / kFourYears) * 4;
    std::uint32_t rest = seconds % kFourYears;
    if (rest >= kLeapYear) {
        year += 1;
        rest -= kLeapYear;
        year += rest / kCommonYear;
        rest %= kCommonYear;
    }
    std::uint32_t dayOfYear = rest / kDay;
    rest %= kDay;

    const bool leap = (year % 4) == 0;
    int month = 1;
    while (month < 12) {
        const std::uint32_t length = kMonthDays[month - 1] + ((leap && month == 2) ? 1 : 0);
        if (dayOfYear < length) break;
        dayOfYear -= length;
        ++month;
    }
    out->month = month;
    out->day = static_cast<int>(dayOfYear) + 1;
    out->year = static_cast<int>(year);
    out->hour = static_cast<int>(rest / 3600);
    out->minute = static_cast<int>((rest % 3600) / 60);
    out->second = static_cast<int>(rest % 60);
}

int Toolvane_SekundyDoSTRINGa(double seconds, char *text, int mode) {
    if (text == nullptr || !(seconds >= 0.0) || (mode != 0 && mode != 1)) return 1;
    const double rounded = std::round(seconds);
    // The count of seconds is a 32-bit signed integer.
    if (!(rounded < 2147483648.0)) return 1;
    const long total = static_cast<long>(rounded);
    const long days = total / 86400;
    const int hours = static_cast<int>((total / 3600) % 24);
    const int minutes = static_cast<int>((total / 60) % 60);
    const int secs = static_cast<int>(total % 60);

    // Longest text: "24855 days 23:59:59".
    char out[32] = "";
    std::size_t len = 0;
    auto append = [&](const char *format, long value) {
        const int n = std::snprintf(out + len, sizeof out - len, format, value);
        if (n > 0) len += static_cast<std::size_t>(n);
    };
    if (days == 1)
        append("%ld day ", days);
    else if (days > 1)
        append("%ld days ", days);
    if (len > 0 || hours != 0 || mode == 0) append(mode == 0 ? "%02ld:" : "%ld:", hours);
    if (len > 0 || minutes != 0) append(len > 0 ? "%02ld:" : "%ld:", minutes);
    append("%02ld", secs);

    platform::CopyText({out, len}, text, kDurationTextSize);
    return 0;
}

int Toolvane_ZamienFormatDatyUS2PL(const char *input, char *output) {
    if (input == nullptr || output == nullptr || !OneByteCharacters(input, 10)) return 1;
    const char pl[10] = {input[3], input[4], input[2], input[0], input[1],
                         input[5], input[6], input[7], input[8], input[9]};
    std::memcpy(output, pl, sizeof pl);
    return 0;
}

int Toolvane_RozszerzOznaczenieRoku(char *date) {
    if (date == nullptr || !OneByteCharacters(date, 8)) return 1;
    int year = platform::CurrentYear();
    if (year < 0) year = 0;
    const int century = (year / 100) % 100;
    date[10] = '\0';
    date[9] = date[7];
    date[8] = date[6];
    date[6] = static_cast<char>('0' + century / 10);
    date[7] = static_cast<char>('0' + century % 10);
    return 0;
}
