// Commands every Korvi70 instrument answers: its ID, identification, basic
// value, serial number, clock, and the no-operation probe.
//
// Results: 0 done; 1 refused before anything was sent (an argument out of
// range); 2 the link failed while sending; 3 no valid reply; any other value
// is the instrument's non-zero status, passed on unchanged. An output is
// written as soon as its field has arrived, so it is valid only when the
// result is 0. No command repeats itself; callers decide on repetition.
#pragma once

// Texts copied from replies: the field width, and the size of the caller's
// buffer (width plus the terminator).
constexpr int Korvi70_DlugoscNumeruSeryjnego = 8;
constexpr int Korvi70_DlugoscCzasuDaty = 17;

// Command 1: the ID of whichever instrument is on the line (the request
// goes to ID 0).
int Korvi70_PodNrId(unsigned char *id);
// Command 2: gives the instrument at `current` the ID `newId` (both 0..255).
// Returns 1 without traffic when the two are equal.
int Korvi70_ZapNrId(int current, int newId);
// Command 3: the instrument's 16-bit type code (model * 8 + hardware version - 1).
int Korvi70_PrzedstawSie(unsigned char destination, int *typeCode);
// Commands 4 and 5: the basic value, carried as single precision. A value
// that single precision cannot hold (not finite, or beyond its range) is
// refused with 1.
int Korvi70_PodWartPodstawowa(unsigned char destination, double *value);
int Korvi70_ZapWartPodstawowa(unsigned char destination, double value);
// Commands 6 and 7: the 8-character serial number. text for the read holds
// at least 9 bytes and receives the characters as they came, terminated.
// The write sends exactly 8 characters: a shorter text is padded with
// blanks, a longer one cut; control characters (below 0x20) cannot travel
// inside a frame and are refused with 1.
int Korvi70_PodNumerSeryjny(unsigned char destination, char *text);
int Korvi70_ZapNumerSeryjny(unsigned char destination, const char *text);
// Commands 9 and 10: the 17-character date-and-time text, as for the serial
// number (read buffer at least 18 bytes).
int Korvi70_PodCzasDate(unsigned char destination, char *text);
int Korvi70_ZapCzasDate(unsigned char destination, const char *text);
// Legacy no-operation 'H' to an address 2..255; refused with 1 when
// Korvi70_NrZlacza is outside 1..4.
int Korvi70_NOP(int address);
