#include "app/program_ui.h"

#include <cstdlib>
#include <cstring>

#include "ui/headless.h"
#if VGX52_WITH_QT
#include "ui/qt/qt_backend.h"
#endif

namespace app {

// The one place that chooses the back end: the program shows its windows
// with Qt. VGX52_UI=headless runs it without windows, for tests that start
// the program as a process and drive nothing.
void InstallProgramUserInterface() {
#if VGX52_WITH_QT
    const char *choice = std::getenv("VGX52_UI");
    if (!choice || std::strcmp(choice, "headless") != 0) {
        ui::qt::Install();
        return;
    }
#endif
    ui::headless::Install();
}

}  // namespace app
