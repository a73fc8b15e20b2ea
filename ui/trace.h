// VGX52_TRACE=<file>: each change of a text display's text or colour is
// appended as one line, so a test outside the process can follow what the
// program shows in its windows:
//   12.345 panel 1 control 2 colour 800000 text Brak połączenia
// (seconds on the back end's clock, the panel's number in its resource file,
// the control, the colour as six hex digits, the text up to the line end).
// The back ends with windows call it for every control they create or change.
#pragma once

namespace ui::trace {

void TraceControl(int panel, int control, double now);
// Forgets what was traced (a fresh start of a back end).
void ResetTrace();

}  // namespace ui::trace
