// Serial-number associations: a short and a long comment kept for each
// instrument serial number, read from the serial-number associates file
// (path in Toolvane_ZbiorSkojarzenNumerowSeryjnych) into a table of up to
// 63 entries. Texts are UTF-8 in memory; each field keeps at most 8, 32 and
// 256 characters, never splitting one.
#pragma once

inline constexpr int Toolvane_MaksSkojarzen = 63;
// Bytes that hold any kept serial number or comment whole (8, 32 and 256
// characters and a terminator): a Windows-1250 character takes up to 3
// bytes in UTF-8 (the euro sign, the typographic quotes).
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

// Copy the entry's comment into out, a buffer of 33 / 257 bytes (32 / 256
// and the terminator). Texts are UTF-8: a comment that needs more bytes, as
// one with Polish letters can, is cut at the last whole character that
// fits. For an index outside 0..count-1, or a null out, the result is 1 and
// out is left empty.
int Toolvane_GetShortCommentFromIndex(int index, char *out);
int Toolvane_GetFullCommentFromIndex(int index, char *out);
// As above into a buffer of `size` bytes: Toolvane_RozmiarKomentarzaKrotkiego
// and Toolvane_RozmiarKomentarzaPelnego bytes hold every comment whole. 1
// also for a size below 1.
int Toolvane_GetShortCommentFromIndexN(int index, char *out, int size);
int Toolvane_GetFullCommentFromIndexN(int index, char *out, int size);
