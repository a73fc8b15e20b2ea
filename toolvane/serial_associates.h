// Serial-number associations: a short and a long comment kept for each
// instrument serial number, read from the serial-number associates file
// (path in Toolvane_ZbiorSkojarzenNumerowSeryjnych) into a table of up to
// 63 entries. Texts are UTF-8 in memory; each field keeps at most 8, 32 and
// 256 characters, never splitting one.
#pragma once

inline constexpr int Toolvane_MaksSkojarzen = 63;
// Buffer sizes in bytes for 8, 32 and 256 characters and a terminator: a
// Windows-1250 character takes up to 3 bytes in UTF-8 (the euro sign, the
// typographic quotes).
inline constexpr int Toolvane_RozmiarNumeruSeryjnego = 8 * 3 + 1;
inline constexpr int Toolvane_RozmiarKomentarzaKrotkiego = 32 * 3 + 1;
inline constexpr int Toolvane_RozmiarKomentarzaPelnego = 256 * 3 + 1;

// 0 after reading (a read error ends the read early); 2 when the file cannot
// be opened, the table then stays as it was. Lines "#SERIAL ... "short" ... "long""
// are added in file order; for a serial number already present the first
// line wins.
int Toolvane_ReadSerialAssociatesFile();

// Index of the first entry whose serial number equals the text without
// regard to letter case, or -1.
int Toolvane_FindIndexForSerialNumber(const char *serialNumber);

// 0 when added; -1 when the table already holds 63 entries; 1 for a null
// argument.
int Toolvane_AddSerialNumberAssociation(const char *serialNumber, const char *shortComment, const char *longComment);

// Copy the entry's comment into out (at least 33 / 257 characters, that is
// Toolvane_RozmiarKomentarzaKrotkiego / Toolvane_RozmiarKomentarzaPelnego
// bytes). For an index outside 0..count-1 the result is 1 and out is left
// empty.
int Toolvane_GetShortCommentFromIndex(int index, char *out);
int Toolvane_GetFullCommentFromIndex(int index, char *out);
