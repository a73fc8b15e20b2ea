#include "sdk/window_backend.h"
#include "ui/qt/qt_backend.h"

namespace sdk {

bool InstallWindows() {
    // Without a display Qt would end the process; the caller falls back instead.
    if (!ui::qt::CanShowWindows()) return false;
    ui::qt::Install();
    return true;
}

}  // namespace sdk
