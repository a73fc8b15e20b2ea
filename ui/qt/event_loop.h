// The event loop of the Qt back end: the run loop, the nested waits for the
// next commit event, the operator's commits, and painting during the
// program's own work.
#pragma once

namespace ui::qt::detail {

// Runs until QuitLoops(); returns its code.
int RunLoop();
// Ends the run loop and every wait for a user event.
void QuitLoops(int returnCode);
// The next commit event delivered to the program (EVENT_COMMIT with panel
// and control), or EVENT_NONE: at once when wait is false and nothing came
// while pending events ran, or when the event loop is ending.
int WaitForCommit(bool wait, int *panel, int *control);
// Runs what is pending and returns.
void ProcessPending();
// Starts afresh: no wait, nothing pending, no quit request.
void ResetLoops();

// The operator committed a control: its callback runs; when a wait for a
// user event is under way and the commit reached the program, the wait
// gets it.
void OperatorCommit(int panel, int control);
// The window system asks to close a panel's window: the commit of the
// panel's close control, handled as OperatorCommit does; nothing when the
// panel names none.
void OperatorClose(int panel);

// Lets the window system show what was painted (a window just shown, the
// wait cursor) without running the operator's input or a timer callback.
void FlushPaint();
// True while FlushPaint runs: timer callbacks wait for the next turn.
bool Flushing();

}  // namespace ui::qt::detail
