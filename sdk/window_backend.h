// The window back end of the system the SDK is built for.
#pragma once

namespace sdk {

// Installs it (Qt on Linux, Win32 on Windows); false when no window can be
// shown here, and nothing is installed then.
bool InstallWindows();

}  // namespace sdk
