// Commands 11 to 19: the instrument's internal software version, its
// subordinate devices, the cause of its last restart, and the level-1 and
// level-2 upgrade loaders; and the restart code as a text.
//
// Results as for every numbered command: 0 done; 1 an argument out of range
// (nothing sent); 2 the link failed while sending; 3 no valid reply; any
// other value is the instrument's non-zero status (its data is then not
// read). Outputs are stored field by field as they arrive, so they are
// valid only when the result is 0.
#pragma once

// Buffer for the sub-device text of command 14 (8 characters and the terminator).
constexpr int Korvi70_RozmiarTekstuUrzadPodrzed = 9;
// Buffer for Korvi70_ZamienKodRestartuDoTekstu: long enough for all five causes.
constexpr int Korvi70_RozmiarTekstuKoduRestartu = 64;
// Largest byte count of one command 18.
constexpr int Korvi70_MaksDanychBuforaFLASH = 255;

// 11: the internal software version (16 bits).
int Korvi70_PodWerOprogWewn(unsigned char destination, int *version);
// 12: starts the level-1 loader. There is no reply frame: the loader
// announces itself with "O" and then "K", anything may come before or
// between them. 3 when a read times out, or when neither letter comes
// within a bounded number of bytes.
int Korvi70_UruchomUpgradeLoader(unsigned char destination);
// 13: the number of subordinate devices (0..255).
int Korvi70_PodIleUrzadPodrzed(unsigned char destination, int *count);
// 14: information on sub-device `device` (0..255): two codes, two 16-bit
// values and an 8-character text (buffer of Korvi70_RozmiarTekstuUrzadPodrzed
// bytes), passed on as they come.
int Korvi70_PodIlnfoOUrzadPodrzed(unsigned char destination, int device, unsigned char *code1, unsigned char *code2,
                                  int *value1, int *value2, char *text);
// 15: the restart code (reset-cause flags).
int Korvi70_PodKodRestartu(unsigned char destination, unsigned char *code);
// 16 and 17: start and close the level-2 loader.
int Korvi70_UruchomUpgradeLoaderL2(unsigned char destination);
int Korvi70_ZamknijUpgradeLoaderL2(unsigned char destination);
// 18: n (0..255) bytes into the flash page buffer at offset (0..65535).
int Korvi70_ZapiszDoBuforaPamieciFLASHUL2(unsigned char destination, int offset, int n, const unsigned char *data);
// 19: the page buffer into flash page `page` (0..65535).
int Korvi70_ZapiszBuforDoPamieciFLASHUL2(unsigned char destination, int page);

// The causes set in a restart code, for processor types 1 and 3, as
// "JTAG, WatchDog, ..."; text holds Korvi70_RozmiarTekstuKoduRestartu bytes.
// 0, or 1 when text is null.
int Korvi70_ZamienKodRestartuDoTekstu(unsigned char code, int processorType, char *text);
