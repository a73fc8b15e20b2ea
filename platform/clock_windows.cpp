#include <windows.h>

#include <ctime>

#include "platform/deadline.h"
#include "platform/system.h"

#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

namespace platform {

bool LocalTime(std::time_t t, std::tm &out) { return localtime_s(&out, &t) == 0; }

void Delay(double seconds) {
    // A day at most; nothing in the program waits that long on purpose.
    const detail::Deadline deadline(seconds);
    // Sleep() counts in ticks of the system timer (15.6 ms by default); a
    // high-resolution waitable timer keeps short delays short where the
    // system has one (Windows 10 1803 and later).
    HANDLE timer = CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION, TIMER_ALL_ACCESS);
    while (!deadline.Expired()) {
        const double left = deadline.Remaining();
        if (timer) {
            LARGE_INTEGER due;
            due.QuadPart = -static_cast<LONGLONG>(left * 1e7 + 0.5);  // relative, in 100 ns
            if (due.QuadPart == 0) due.QuadPart = -1;
            if (SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE)) {
                WaitForSingleObject(timer, INFINITE);
                continue;
            }
        }
        Sleep(static_cast<DWORD>(deadline.PollMs()));
    }
    if (timer) CloseHandle(timer);
}

}  // namespace platform
