// The instrument's user settings, saved before a firmware upgrade and
// written back after it: the 13 real settings "a".."m", the integer setting
// "A", the instrument's Korvi70 ID and its serial number. Every command goes
// to ID 0 and is repeated while it gives 3, at most 5 attempts in all.
//
// Only the items read in the last settings read are written back: a slot
// whose read failed holds no value of this instrument, and writing it would
// put a stale or made-up setting into the new firmware.
#pragma once

constexpr int ObsUpgrade_IleUstawienFloat = 13;  // real settings "a".."m"
constexpr int ObsUpgrade_IleUstawien = 16;       // every item: reals, "A", ID, serial number

// The saved settings (kept from one upgrade to the next).
extern double ObsUpgrade_UstawieniaFloat[ObsUpgrade_IleUstawienFloat];
extern int ObsUpgrade_UstawienieInt;
extern unsigned char ObsUpgrade_NrId;
extern char ObsUpgrade_NumerSeryjny[9];
// Per item, in the order above: 1 when the last settings read obtained it.
extern unsigned char ObsUpgrade_Odczytane[ObsUpgrade_IleUstawien];

// Reads every item; each that fails shows "Wystąpił błąd." /
// "Odczyt z przyrządu niepoprawny." and the next item follows. Returns the
// number of items that failed.
int ObsUpgrade_OdczytajZPrzyrzaduUstawienia();
// Writes back every item the last read obtained; each that fails shows
// "Wystąpił błąd." / "Zapis do przyrządu niepoprawny." and the next item
// follows. Returns the number of items that failed.
int ObsUpgrade_ZapiszDoPrzyrzaduUstawienia();

namespace upgrade {

enum SettingItem {
    kFirstReal = 0,  // "a" .. "m" are items 0..12
    kIntegerA = ObsUpgrade_IleUstawienFloat,
    kInstrumentId,
    kSerialNumber,
};

// Called for every item whose command failed, with its final result.
using SettingFailure = void (*)(void *context, int item, int result);

// The transfer without dialogs (the screen's functions above and vgx52ctl
// call these). Return the number of failed items.
int ReadSettings(SettingFailure onFailure, void *context);
int WriteSettings(SettingFailure onFailure, void *context);

// "a".."m", "A", "ID", "serial number": for messages.
const char *SettingName(int item);

}  // namespace upgrade
