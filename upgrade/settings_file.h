// The instrument's settings as a text file an operator can read and edit
// (Windows-1250, CR LF): a header naming the instrument, then one
// "# Key value" line per setting the set holds; every other line is a
// comment. Keys are compared without regard to case:
//   # Nastawa_a 287.055          real settings "a".."m" (single precision)
//   # NastawaCalkowita_A -16657  integer setting "A" (16 bits)
//   # NrId 44                    the instrument's Korvi70 ID
//   # NumerSeryjny VG520001      serial number; NumerSeryjnyHex with 16 hex
//                                digits when it holds blanks or other bytes
// The header's "# DATA", "# CZAS", "# KodTypu", "# WersjaSprzetu" and
// "# WersjaOprogramowania" lines are for the reader only.
#pragma once
#include <string>
#include <vector>

#include "upgrade/settings_transfer.h"

namespace upgrade {

// Who the settings came from, for the header.
struct InstrumentFacts {
    bool identified = false;  // typeCode is valid
    int typeCode = 0;
    int hardwareVersion = 0;  // 1..8; 0 when not known
    int softwareVersion = 0;  // 0 when not read
};

// The file's text (UTF-8, "\n" line ends) for the items settings holds.
std::string SettingsFileText(const SavedSettings &settings, const InstrumentFacts &facts);

// An item's value as the file gives it ("287.055", "-16657", "44",
// "VG520001" or the 16 hex digits of a serial number); "" when not held.
std::string SettingValueText(const SavedSettings &settings, int item);

// Writes the file at path (a system path), replacing an older one
// atomically: a failed write leaves the old file whole. 0, or -1 with the
// reason in *error.
int WriteSettingsFile(const char *path, const SavedSettings &settings, const InstrumentFacts &facts,
                      std::string *error);

// Reads a settings file: settings holds exactly the items the file gives.
// A setting line whose value is not accepted is left out and noted in
// *ignored ("line N: ..."). 0, or -1 with the reason in *error when the
// file cannot be read.
int ReadSettingsFile(const char *path, SavedSettings &settings, std::vector<std::string> *ignored, std::string *error);

}  // namespace upgrade
