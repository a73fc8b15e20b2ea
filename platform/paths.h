// Files and folders. Windows paths that the system fixes ("C:\Korvi70.Kfg",
// "P:\VGX52\...", "\Korvi70\...") live under the drive root: drive X: is the
// folder <root>/x, a leading backslash means drive C:, backslashes become
// slashes, and a component missing under its exact name is looked up without
// regard to letter case. Host paths (starting with '/') pass through.
#pragma once
#include <string>
#include <string_view>

namespace platform {

// VGX52_ROOT, else $XDG_DATA_HOME/vgx52, else ~/.local/share/vgx52.
std::string DriveRoot();
// Any path the system uses, turned into the host path to open. Relative
// paths stay relative (to the current folder) with slashes.
std::string HostPath(std::string_view path);
// Folder of the running program (from /proc/self/exe), without a trailing
// slash; empty if it cannot be found.
std::string ProgramFolder();

bool FileExists(std::string_view path);
bool DirectoryExists(std::string_view path);
long long FileSize(std::string_view path);  // -1 when absent
int MakeDir(std::string_view path);         // 0, or a negative error code
int GetDir(std::string &folder);            // current folder; 0 or negative
int SetDir(std::string_view path);          // 0, or a negative error code

}  // namespace platform
