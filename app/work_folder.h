// The folder the program works in: what it names by a bare file name (a
// firmware file without its path, the Korvi70 dialogs' panel-state files)
// is read and written there, while its resource files stay next to it.
#pragma once
#include <string>

#include "platform/paths.h"

namespace app {

// A program started in its own folder (Windows' Start-menu entry and
// Explorer start it there), where a standard user may write nothing, works
// in userFiles\VGX52 instead, made when missing. Started anywhere else it
// stays where it was started, and so it does when userFiles is empty (Linux).
// A folder that cannot be made or entered is reported with its path and the
// reason, and the program stays where it is. 0, or a negative error code.
int SettleWorkFolder(const std::string &programFolder, const std::string &userFiles = platform::UserFilesFolder());

}  // namespace app
