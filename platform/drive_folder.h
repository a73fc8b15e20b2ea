// The folder that stands for a drive. On Windows a drive always exists; here
// it is made on first need, so that writing "C:\Korvi70.Kfg" or creating
// "C:\ProgramData" works on a fresh drive root.
#pragma once
#include <string_view>

namespace platform::detail {

// True for paths on a drive ("X:..." or "\..."), false for host and relative ones.
bool IsDrivePath(std::string_view path);
// Creates the drive root and the drive's folder of a drive path if missing.
void EnsureDriveFolder(std::string_view path);
// mkdir -p of a host path; 0 or errno.
int MakeHostDirs(const std::string &hostPath);

}  // namespace platform::detail
