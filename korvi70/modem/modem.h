// The Korvi70 layer's dial-up modem on COM1..COM4: one operation per AT
// command (each a whole exchange in the modem's command mode), the modem's
// identification, dialling, connecting and hanging up, and the modem
// configuration dialog. The port passed to every operation must be the
// link's own port (Korvi70_NrZlacza), open as a direct serial link: the
// command lines go out through the link primitives, while time-outs, queue
// flushes and queue lengths are set and read on the port named here.
//
// Result codes of every operation: 0 done, 1 an argument out of range
// (nothing sent), 2 serial failure, 3 no reply, no "OK" or a failure word,
// 4 cancelled by the user. Outputs are written only on 0; text outputs need
// room for 50 characters and the terminating NUL, that is 51 bytes: a text
// of more UTF-8 bytes is cut at its last whole character that fits.
#pragma once
#include "korvi70.h"  // the modem layer's state and operations

namespace korvi70::modem {

// As the layer was first written, every exchange waits its whole time-out
// unless 100 characters arrive. By default a read ends as soon as the reply
// holds a complete final result line ("OK", "ERROR", "NO CARRIER", "BUSY",
// "NO DIAL TONE", "NO ANSWER" or a line starting with "CONNECT", with its
// CR LF); the verdicts are the same either way. false = wait the whole
// time-out.
void SetEarlyEnd(bool on);
bool EarlyEnd();

// The guard time the modem wants in silence before and after its escape
// characters (its register S12; 1 s as modems come), or 0 for none. The
// escape sequence waits it out, with a margin for the line, after the last
// byte written to the port: sent sooner, the modem passes the characters
// on as data and stays connected.
void SetEscapeGuardTime(double seconds);
double EscapeGuardTime();

// Product texts shorter than 5 characters sound the system beep; counted
// here so that the beep can be seen where there is no loudspeaker.
int BeepCount();

}  // namespace korvi70::modem
