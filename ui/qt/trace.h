// VGX52_TRACE=<file>: each change of a text display's text or colour is
// appended as one line, so a test outside the process can follow what the
// program shows:
//   12.345 panel 1 control 2 colour 800000 text Brak połączenia
// (seconds since the back end started, the panel's number in its resource
// file, the control, the colour as six hex digits, the text up to the line end).
#pragma once

namespace ui::qt::detail {

void TraceControl(int panel, int control);
// Forgets what was traced (a fresh start of the back end).
void ResetTrace();

}  // namespace ui::qt::detail
