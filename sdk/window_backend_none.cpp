// A build without a window toolkit: the console is all there is.
#include "sdk/window_backend.h"

namespace sdk {

bool InstallWindows() { return false; }

}  // namespace sdk
