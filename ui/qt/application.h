// The one QApplication of the process.
#pragma once

namespace ui::qt::detail {

// Makes the application object on first need. Without a display to show
// windows on, says so on stderr and ends the process with exit code 1 (Qt
// itself would abort).
void EnsureApplication();

// True when a Qt platform can be expected to start: QT_QPA_PLATFORM names
// one, or DISPLAY or WAYLAND_DISPLAY is set.
bool DisplayAvailable();

}  // namespace ui::qt::detail
