// The back end's hidden message window: the clock of the timer controls and
// the window timer that wakes the message loop when the earliest of them is
// due, the wake-up of a loop waiting for a message, and work put off until
// the message loop next turns.
#pragma once
#include <windows.h>

#include <functional>

namespace ui::win32::detail {

// Seconds on a monotonic clock since the back end was first used.
double Now();
// The model's earliest due time moved: wake up then (or never).
void RescheduleTimers();
// Makes a loop waiting in GetMessage look at its state again.
void WakeLoops();
// Runs `work` when the message loop next turns (not inside the caller).
void Later(std::function<void()> work);
// The hidden window (made on first use).
HWND MessageWindow();

}  // namespace ui::win32::detail
