// Operating-system facts and the clock.
#pragma once
#include <ctime>
#include <string>

namespace platform {

// Windows version the program behaves as: 10.0 unless VGX52_WINVER
// ("5.1", "6", ...) says otherwise.
void GetWinOSVersion(int *major, int *minor);

// The local calendar time of t; false when the system cannot tell it.
bool LocalTime(std::time_t t, std::tm &out);
std::string DateStr();  // local date "MM-DD-YYYY"
std::string TimeStr();  // local time "HH:MM:SS", 24-hour clock
int CurrentYear();      // local calendar year, e.g. 2026
double Timer();         // monotonic seconds since an arbitrary start
void Delay(double seconds);

}  // namespace platform
