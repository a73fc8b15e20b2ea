#include "ui/screenshot_request.h"

#include <cstdlib>

namespace ui {

std::optional<ScreenshotRequest> RequestedScreenshot() {
    constexpr double kMaxAfter = 3600.0;
    const char *file = std::getenv("VGX52_SCREENSHOT");
    if (!file || !*file) return std::nullopt;
    ScreenshotRequest request;
    request.file = file;
    if (const char *text = std::getenv("VGX52_SCREENSHOT_AFTER"); text && *text) {
        char *end = nullptr;
        const double seconds = std::strtod(text, &end);
        if (*end == '\0' && seconds >= 0.0 && seconds <= kMaxAfter) request.afterSeconds = seconds;
    }
    return request;
}

}  // namespace ui
