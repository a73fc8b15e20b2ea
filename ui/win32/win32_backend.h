// The Win32 back end: native windows and controls (wide-character API) for
// the panels of the resource files, a dialog built in code for the popups,
// a message loop of its own for the event loop and every wait for a user
// event, and a window timer for the timer controls. The program installs it
// once:
//
//   ui::win32::Install();
//   ... LoadPanel, DisplayPanel, RunUserInterface as usual ...
//
// Environment (diagnostics and the tests under Wine):
//   VGX52_TRACE=<file>         every change of a text display's text or colour
//                              is appended to the file as one line (ui/trace.h)
//   VGX52_SCREENSHOT=<file>    after VGX52_SCREENSHOT_AFTER seconds (default 3)
//                              of the event loop, the main window is saved as a
//                              24-bit BMP image and the event loop ends
#pragma once
#include <windows.h>

namespace ui::win32 {

// Makes the Win32 back end the one in use and starts afresh (every panel of
// the model discarded, every window of the back end destroyed).
void Install();

// ---- for tests and screenshots ----
// The window of a panel; null when there is none.
HWND PanelWindow(int panel);
// The window that shows a control, and the label beside it (null for kinds
// whose label is their own text, and for timers).
HWND ControlWindow(int panel, int control);
HWND ControlLabel(int panel, int control);
// The popup dialog on the screen now (message, confirm, prompt, generic);
// null when there is none. Its parts have the dialog identifiers
// kPopupMessageId, kPopupResponseId and kPopupButtonId + 1..3.
HWND ActivePopupDialog();
inline constexpr int kPopupMessageId = 10;
inline constexpr int kPopupResponseId = 11;
inline constexpr int kPopupButtonId = 20;
// Saves a panel's window, frame included, as a 24-bit BMP file.
bool SavePanelImage(int panel, const char *fileName);
// The panel the program counts as its main window: the oldest visible panel
// that is neither a popup nor another panel's child; 0 when none.
int MainWindowPanel();

}  // namespace ui::win32
