// The program's record in the maker's shared programs-associations file.
#pragma once
#include <string>

// Appends the record to the associations file in the maker's data folder.
// 0 when the record was written; 1 (after a message) when the file could not
// be opened or written. Neither the file nor its folder is ever created.
int Fun_WriteAssociation();

namespace app {
// The record as it is written, with "\n" line ends (stored as CR LF).
std::string AssociationRecord(const char *programFile, const char *iconFile);
// Windows path of the associations file for a Windows version; empty when
// the version has no known data folder.
std::string AssociationsFilePath(int major, int minor);
}  // namespace app
