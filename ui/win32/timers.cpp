#include "ui/win32/timers.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <deque>
#include <utility>

#include "ui/model.h"

namespace ui::win32::detail {
namespace {

constexpr UINT_PTR kTimerId = 1;
constexpr UINT kWake = WM_APP + 1;
constexpr UINT kLater = WM_APP + 2;
constexpr double kMaxWaitMs = 24.0 * 3600.0 * 1000.0;

std::deque<std::function<void()>> &Work() {
    static std::deque<std::function<void()>> work;
    return work;
}

LRESULT CALLBACK MessageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER:
        if (wParam != kTimerId) break;
        KillTimer(window, kTimerId);
        model::FireDueTimers(Now(), false);
        RescheduleTimers();
        return 0;
    case kWake: return 0;
    case kLater:
        // What a callback run here puts off waits for the next turn.
        for (std::size_t n = Work().size(); n > 0 && !Work().empty(); --n) {
            std::function<void()> work = std::move(Work().front());
            Work().pop_front();
            work();
        }
        return 0;
    default: break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

double Now() {
    static LARGE_INTEGER frequency, start;
    static const bool started = [] {
        QueryPerformanceFrequency(&frequency);
        QueryPerformanceCounter(&start);
        return true;
    }();
    (void)started;
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

HWND MessageWindow() {
    static HWND window = [] {
        WNDCLASSEXW cls{};
        cls.cbSize = sizeof cls;
        cls.lpfnWndProc = MessageProc;
        cls.hInstance = GetModuleHandleW(nullptr);
        cls.lpszClassName = L"VGX52Messages";
        RegisterClassExW(&cls);
        return CreateWindowExW(0, cls.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, cls.hInstance, nullptr);
    }();
    return window;
}

void RescheduleTimers() {
    const double due = model::NextTimerDue();
    if (!std::isfinite(due)) {
        KillTimer(MessageWindow(), kTimerId);
        return;
    }
    const double ms = std::ceil((due - Now()) * 1000.0);
    // SetTimer replaces the timer of the same identifier.
    SetTimer(MessageWindow(), kTimerId, ms <= 0.0 ? USER_TIMER_MINIMUM : static_cast<UINT>(std::min(ms, kMaxWaitMs)),
             nullptr);
}

void WakeLoops() { PostMessageW(MessageWindow(), kWake, 0, 0); }

void Later(std::function<void()> work) {
    Work().push_back(std::move(work));
    PostMessageW(MessageWindow(), kLater, 0, 0);
}

}  // namespace ui::win32::detail
