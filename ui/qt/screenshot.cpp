#include "ui/qt/screenshot.h"

#include <QTimer>
#include <cstdio>
#include <string>

#include "ui/qt/qt_backend.h"
#include "ui/screenshot_request.h"
#include "ui/ui.h"

namespace ui::qt::detail {

void ArmScreenshot() {
    static bool armed = false;
    const std::optional<ScreenshotRequest> request = RequestedScreenshot();
    if (armed || !request) return;
    armed = true;
    const std::string path = request->file;
    QTimer::singleShot(static_cast<int>(request->afterSeconds * 1000.0), [path] {
        const int panel = MainWindowPanel();
        if (panel != 0 && SavePanelImage(panel, path.c_str()))
            std::fprintf(stderr, "vgx52: main window saved in %s\n", path.c_str());
        else
            std::fprintf(stderr, "vgx52: no main window to save in %s\n", path.c_str());
        ui::QuitUserInterface(0);
    });
}

}  // namespace ui::qt::detail
