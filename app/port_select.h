// The port-selection popup: COM1 to COM8.
#pragma once

// Forces a direct serial link (time-out 0.1 s, own ID 0x71) and lets the
// operator pick the port, the current one preselected. 0 when a port was
// accepted (Korvi70_NrZlacza is then set), 4 when the popup was left any
// other way, 5 when its panel could not be loaded.
int OkreslKonfiguracjeKorvi70(const char *resourcePath);

namespace app {
// The link settings the program always uses: direct serial, 0.1 s, ID 0x71.
void ForceDirectSerialLink();
}  // namespace app
