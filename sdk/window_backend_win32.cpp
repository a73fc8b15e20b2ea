#include "sdk/window_backend.h"
#include "ui/win32/win32_backend.h"

namespace sdk {

bool InstallWindows() {
    ui::win32::Install();
    return true;
}

}  // namespace sdk
