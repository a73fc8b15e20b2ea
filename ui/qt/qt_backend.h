// The Qt 6 Widgets back end: real windows for the panels of the resource
// files, dialogs for the popups, a nested event loop for the wait for a user
// event, and QTimer for the timer controls. The program installs it once:
//
//   ui::qt::Install();
//   ... LoadPanel, DisplayPanel, RunUserInterface as usual ...
//
// The application object is made on first use, so a program that never
// shows anything (a command-line mode) needs no display.
//
// Environment (diagnostics and the demo):
//   VGX52_TRACE=<file>         every change of a text display's text or colour
//                              is appended to the file as one line
//   VGX52_SCREENSHOT=<file>    after VGX52_SCREENSHOT_AFTER seconds (default 3)
//                              of the event loop, the main window is saved as a
//                              PNG image and the event loop ends
#pragma once

class QLabel;
class QWidget;

namespace ui::qt {

// Makes the Qt back end the one in use and starts afresh (every panel of the
// model discarded).
void Install();

// True when windows can be expected to show: a display (DISPLAY or
// WAYLAND_DISPLAY), or a Qt platform named by QT_QPA_PLATFORM.
bool CanShowWindows();

// ---- for tests and screenshots ----
// The window of a panel; null when there is none.
QWidget *PanelWindow(int panel);
// The widget that shows a control, and the label beside it (null for kinds
// whose label is their own text, and for a control without a label).
QWidget *ControlWidget(int panel, int control);
QLabel *ControlLabel(int panel, int control);
// Renders a panel's window into a PNG file; false when it cannot.
bool SavePanelImage(int panel, const char *fileName);
// The panel the program counts as its main window: the oldest visible panel
// that is neither a popup nor another panel's child; 0 when none.
int MainWindowPanel();

}  // namespace ui::qt
