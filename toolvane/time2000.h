// Time 2000 (seconds since 2000-01-01 00:00:00, no zone, no leap seconds)
// and small date-text helpers. The calendar rule (every fourth year is a
// leap year) holds for 2000..2099.
#pragma once
#include <cstdint>

struct Toolvane_tm2000 {
    int second;   // 0..59
    int minute;   // 0..59
    int hour;     // 0..23
    int day;      // 1..31
    int month;    // 1..12, January = 1
    int year;     // years since 2000, 0..99
    int weekday;  // Monday = 0 .. Sunday = 6; written by Toolvane_gmtime2000 only
};

// Fields are not checked: a day, hour, minute or second beyond its range
// adds its seconds, a month beyond 1..12 carries into the year; the result
// wraps modulo 2^32. A null record gives 0.
std::uint32_t Toolvane_mktime2000(const Toolvane_tm2000 *tm);

// Writes all seven fields (nothing when out is null).
void Toolvane_gmtime2000(std::uint32_t seconds, Toolvane_tm2000 *out);

// Duration as "[N days |1 day ][H]H:MM:SS"; mode 0 always shows hours,
// minutes and seconds, mode 1 drops leading zero fields. The buffer needs
// 20 characters. Result 1 (buffer untouched) for a negative or non-number
// duration, one that rounds to 2^31 s or more, a null buffer or another mode.
int Toolvane_SekundyDoSTRINGa(double seconds, char *text, int mode);

// "MM-DD-YYYY" (exactly 10 characters) to "DD-MM-YYYY": writes exactly ten
// characters to output, no terminator. Input and output may be the same
// buffer. Result 1 for another length, for a character of more than one
// UTF-8 byte (ten characters would then not fit the ten bytes of output),
// or a null argument.
int Toolvane_ZamienFormatDatyUS2PL(const char *input, char *output);

// "DD-MM-YY" (exactly 8 characters) to "DD-MM-CCYY" in place, CC from the
// current year; the buffer needs 11 characters. Result 1 for another length
// or a character of more than one UTF-8 byte.
int Toolvane_RozszerzOznaczenieRoku(char *date);
