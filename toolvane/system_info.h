// System information: the program's own folder, the paths of its files and
// the maker's data folder, kept in the path buffers of toolvane/folders.h.
#pragma once
#include <string>

// Fills the path buffers for the model (e.g. "VGX52"); the caller puts the
// program's start name into Toolvane_NazwaProgramu first.
// 0; 10 when the program folder cannot be found; 11 when the resource file
// (model + "_G.uir" beside the program) cannot be found. Both failures show
// a message; the paths not built by then stay empty.
int Toolvane_ZbierzInfoOSystemie(const char *nazwaModelu);

// 0 when the folder exists, or was created because `utworz` is non-zero;
// otherwise the platform's negative error code. The current folder is the
// same afterwards.
int Toolvane_CheckIfDirectoryExist(const char *katalog, int utworz);

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
