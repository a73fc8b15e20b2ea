// The message loop of the Win32 back end: the run loop, the nested waits for
// the next commit event, the popups' loops, and the operator's commits.
#pragma once
#include <windows.h>

namespace ui::win32::detail {

// Runs until QuitLoops(); returns its code.
int RunLoop();
// Ends the run loop, every wait for a user event and every popup dialog
// open at the time.
void QuitLoops(int returnCode);
// Counts the calls of QuitLoops: a popup dialog ends when it moves (a popup
// opened after the quit, as a message that the settings could not be saved,
// is still shown).
unsigned QuitCount();
// The next commit event delivered to the program (EVENT_COMMIT with panel
// and control), or EVENT_NONE: at once when wait is false and nothing came
// while pending messages ran, or when the event loop is ending.
int WaitForCommit(bool wait, int *panel, int *control);
// Handles one message: waits for it when `wait`; false when there was none.
bool PumpOne(bool wait);
// Runs what is pending and returns.
void ProcessPending();
// Starts afresh: no wait, nothing pending, no quit request.
void ResetLoops();

// Windows whose keyboard works as a dialog's (Tab, Enter, Escape).
void AddDialogWindow(HWND window);
void RemoveDialogWindow(HWND window);

// The operator committed a control: its callback runs; when a wait for a
// user event is under way and the commit reached the program, the wait
// gets it.
void OperatorCommit(int panel, int control);
// The window system asks to close a panel's window: the commit of the
// panel's close control, handled as OperatorCommit does; nothing when the
// panel names none.
void OperatorClose(int panel);

}  // namespace ui::win32::detail
