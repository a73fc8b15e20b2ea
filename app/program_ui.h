// The user-interface back end the program runs on.
#pragma once

namespace app {
void InstallProgramUserInterface();
}  // namespace app
