// The upgrade's settings backup: written before the first byte of flash
// goes out, so that the settings read from the instrument outlive the
// program, the line or the power failing part-way. It goes into the
// maker's data folder, named by the serial number and the date and time:
//   C:\ProgramData\BRANDOLUX SoftWare Data\VGX52 ustawienia VG520001 2024-05-31 12-00-00.txt
#pragma once
#include <string>

#include "upgrade/settings_file.h"

namespace upgrade {

// The file name for these settings now: characters of the serial number
// that a file name cannot hold become "_"; "nieznany" when it was not read.
std::string BackupName(const SavedSettings &settings);

// Writes the backup (the data folder is made when missing). 0 with the
// file's path in *path; -1 with *path and the reason in *error.
int WriteBackup(const SavedSettings &settings, const InstrumentFacts &facts, std::string *path, std::string *error);

}  // namespace upgrade
