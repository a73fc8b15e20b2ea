#include "ui/qt/screenshot.h"

#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "ui/qt/qt_backend.h"
#include "ui/ui.h"

namespace ui::qt::detail {
namespace {

constexpr double kDefaultAfter = 3.0;
constexpr double kMaxAfter = 3600.0;

double After() {
    const char *text = std::getenv("VGX52_SCREENSHOT_AFTER");
    if (!text || !*text) return kDefaultAfter;
    char *end = nullptr;
    const double seconds = std::strtod(text, &end);
    if (*end != '\0' || !(seconds >= 0.0) || seconds > kMaxAfter) return kDefaultAfter;
    return seconds;
}

}  // namespace

void ArmScreenshot() {
    static bool armed = false;
    const char *file = std::getenv("VGX52_SCREENSHOT");
    if (armed || !file || !*file) return;
    armed = true;
    const std::string path = file;
    QTimer::singleShot(static_cast<int>(After() * 1000.0), [path] {
        const int panel = MainWindowPanel();
        if (panel != 0 && SavePanelImage(panel, path.c_str()))
            std::fprintf(stderr, "vgx52: main window saved in %s\n", path.c_str());
        else
            std::fprintf(stderr, "vgx52: no main window to save in %s\n", path.c_str());
        ui::QuitUserInterface(0);
    });
}

}  // namespace ui::qt::detail
