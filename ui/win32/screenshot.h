// VGX52_SCREENSHOT=<file>: once the event loop has run for
// VGX52_SCREENSHOT_AFTER seconds (default 3), the main window is saved as a
// 24-bit BMP image and the event loop ends, as if the program quit.
#pragma once
#include <windows.h>

namespace ui::win32::detail {

// Called when the event loop starts; arms the shot once per process.
void ArmScreenshot();
// Saves the window, frame included, as it is on the screen now.
bool SaveWindowImage(HWND window, const char *fileName);

}  // namespace ui::win32::detail
