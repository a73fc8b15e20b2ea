#include "app/program_ui.h"

#include <cstdlib>
#include <cstring>

#include "ui/console.h"
#if VGX52_WITH_QT
#include "ui/qt/qt_backend.h"
#endif
#if VGX52_WITH_WIN32
#include "ui/win32/std_streams.h"
#include "ui/win32/win32_backend.h"
#endif

namespace app {

// The one place that chooses the back end: the program shows its windows
// with Qt (Linux) or the Win32 API (Windows). When no window can be shown
// (no display), or VGX52_UI=console asks for it, the console back end writes
// every popup to stderr, so a message that says what went wrong still
// reaches the operator and the exit codes stay those of the program. On
// Windows the program has no console window of its own: its messages reach
// the console it was started from, or where they are redirected.
void InstallProgramUserInterface() {
#if VGX52_WITH_WIN32
    ui::win32::ConnectStandardStreams();
#endif
    const char *choice = std::getenv("VGX52_UI");
    const bool console = choice && std::strcmp(choice, "console") == 0;
#if VGX52_WITH_WIN32
    if (!console) {
        ui::win32::Install();
        return;
    }
#elif VGX52_WITH_QT
    if (!console && ui::qt::CanShowWindows()) {
        ui::qt::Install();
        return;
    }
    if (!console) {
        ui::console::Install(stderr,
                             "vgx52: no display to show the program's windows on "
                             "(set DISPLAY, or QT_QPA_PLATFORM=offscreen); its messages follow here");
        return;
    }
#endif
    (void)console;
    ui::console::Install(stderr);
}

}  // namespace app
