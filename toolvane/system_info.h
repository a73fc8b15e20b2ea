// System information: the program's own folder, the paths of its files and
// the maker's data folder, kept in the path buffers of toolvane/folders.h.
#pragma once
#include <string>

#include "toolvane.h"  // Toolvane_ZbierzInfoOSystemie, Toolvane_CheckIfDirectoryExist

namespace toolvane {

// The maker's data folder: Windows 2000 and XP, and every later version.
inline constexpr const char kDataFolderXp[] = "C:\\Documents and Settings\\BRANDOLUX SoftWare Data";
inline constexpr const char kDataFolderVista[] = "C:\\ProgramData\\BRANDOLUX SoftWare Data";
inline constexpr const char kSerialAssociatesName[] = "serial number associates.txt";

// Data folder for a Windows version (5.0 and 5.1 use the XP folder).
const char *DataFolderFor(int major, int minor);

// Tests run from their own folder; this makes the system-information step
// use another program folder (nullptr: the running program's folder again).
void SetProgramFolderForTests(const char *folder);

}  // namespace toolvane
