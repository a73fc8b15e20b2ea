// The connection configuration shared by the maker's Korvi70 programs
// ("C:\Korvi70.Kfg"), and opening and closing the link it describes.
//
// File lines: "#", a key, white space, a value (single words). Keys are
// compared without regard to case, a later line overrides an earlier one,
// unknown keys, lines without the leading "#", unreadable values and values
// out of range are ignored.
#pragma once
#include <string_view>

// Panel file of the port-selection and ID dialogs ("NazwaZbioruZGrafika").
extern char Korvi70_NazwaZbioruZGrafika[261];
// 1: ask the operator for the link type ("CzyPytacOPolaczenie").
extern unsigned char Korvi70_CzyPytacOPolaczenie;

// Sets every setting to its default, then reads the file: 0 when it was
// read, -1 when it could not be opened (the defaults then stand).
int Korvi70_OdczytajZbiorKonfig();
// Reads the file (a missing file selects the fallback panel file name) and
// asks for the link type when the file says so.
void Korvi70_OdczytajKonfiguracjeKorvi70();
// Opens the link: mode 1 reads the configuration first, mode 0 uses the
// link state as it stands, other modes return 1. 0 when open (or for the
// modem type), -1 on failure.
int Korvi70_IniZlacze(int mode);
// Closes the link: 0, or -1 when closing the serial port failed.
int Korvi70_ZamZlacze();

namespace korvi70 {
void SetConfigDefaults();
// Applies one line of the file (without its line end).
void ApplyConfigLine(std::string_view line);
// The link-type question; sets Korvi70_TypLacza to 0 or 2.
void AskForLinkType();
}  // namespace korvi70
