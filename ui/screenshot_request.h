// VGX52_SCREENSHOT=<file>: the back ends with windows save the main window
// in the file after VGX52_SCREENSHOT_AFTER seconds (default 3, at most an
// hour) of the event loop, then end the loop. For the demo and the tests
// that look at the program from outside.
#pragma once
#include <optional>
#include <string>

namespace ui {

struct ScreenshotRequest {
    std::string file;
    double afterSeconds = 3.0;
};

// The request the environment makes; nullopt when there is none.
std::optional<ScreenshotRequest> RequestedScreenshot();

}  // namespace ui
