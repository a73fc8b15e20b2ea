// The connection configuration shared by the maker's Korvi70 programs
// ("C:\Korvi70.Kfg"), and opening and closing the link it describes.
//
// File lines: "#", a key, white space, a value (single words). Keys are
// compared without regard to case, a later line overrides an earlier one,
// unknown keys, lines without the leading "#", unreadable values and values
// out of range are ignored.
#pragma once
#include <string_view>

#include "korvi70.h"  // the settings, reading the file, opening and closing

namespace korvi70 {
void SetConfigDefaults();
// Applies one line of the file (without its line end).
void ApplyConfigLine(std::string_view line);
// The link-type question; sets Korvi70_TypLacza to 0 or 2.
void AskForLinkType();
}  // namespace korvi70
