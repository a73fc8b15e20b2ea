// The standard streams of a program of the Windows GUI subsystem: started
// from Explorer or the Start menu it has none (and no console window shows);
// started from a console it writes to that console; redirected (a pipe, a
// file) they stay as they are.
#pragma once

namespace ui::win32 {

// Connects stdout and stderr that lead nowhere to the console of the process
// that started the program, when there is one.
void ConnectStandardStreams();

}  // namespace ui::win32
