#include "app/program_ui.h"

#include "ui/headless.h"

namespace app {

// The one place that chooses the back end: the headless one until the Qt
// back end joins the build.
void InstallProgramUserInterface() { ui::headless::Install(); }

}  // namespace app
