// VGX52_SCREENSHOT=<file>: once the event loop has run for
// VGX52_SCREENSHOT_AFTER seconds (default 3), the main window is saved as a
// PNG image and the event loop ends, as if the window system closed it.
#pragma once

namespace ui::qt::detail {

// Called when the event loop starts; arms the shot once per process.
void ArmScreenshot();

}  // namespace ui::qt::detail
