// The instrument's user settings, saved before a firmware upgrade and
// written back after it: the 13 real settings "a".."m", the integer setting
// "A", the instrument's Korvi70 ID and its serial number. Every command goes
// to ID 0 and is repeated while it gives 3, at most 5 attempts in all.
//
// Only the items a set holds are written back: a slot whose read failed
// holds no value of this instrument, and writing it would put a stale or
// made-up setting into the new firmware.
#pragma once

#include "korvi70/generic_commands.h"

namespace upgrade {

class UpgradeHooks;

inline constexpr int kRealSettings = 13;  // "a".."m"
inline constexpr int kSettingItems = 16;  // the reals, "A", the ID, the serial number

enum SettingItem {
    kFirstReal = 0,  // "a" .. "m" are items 0..12
    kIntegerA = kRealSettings,
    kInstrumentId,
    kSerialNumber,
};

struct SavedSettings {
    double reals[kRealSettings] = {};  // each a single-precision value, as the instrument keeps it
    int integerA = 0;
    unsigned char id = 0;
    char serial[Korvi70_DlugoscNumeruSeryjnego + 1] = {};
    bool held[kSettingItems] = {};  // per item: a value read from the instrument or from a file
};

// Reads every item into settings; each that fails is reported to the hooks,
// is no longer held, and the next item follows. Returns the number that failed.
int ReadSettings(SavedSettings &settings, UpgradeHooks &hooks);
// Writes back every item settings holds, in the same order; each that fails
// is reported and the next follows. An ID of 0 is left as it is (the
// instrument is addressed as 0, and 0 over 0 would be refused). Returns the
// number that failed.
int WriteSettings(const SavedSettings &settings, UpgradeHooks &hooks);

// True when both hold the item with the same value: reals compared as the
// single-precision bit patterns the instrument keeps.
bool SameSetting(const SavedSettings &a, const SavedSettings &b, int item);
// "a".."m", "A", "ID", "serial number": for messages.
const char *SettingName(int item);

}  // namespace upgrade

// The saved settings of the upgrade screen (kept from one upgrade to the next).
extern upgrade::SavedSettings ObsUpgrade_Ustawienia;

// The screen's settings transfer on ObsUpgrade_Ustawienia, each failed item
// shown as "Wystąpił błąd." / "Odczyt z przyrządu niepoprawny." (or
// "Zapis do przyrządu niepoprawny."). Return the number of failed items.
int ObsUpgrade_OdczytajZPrzyrzaduUstawienia();
int ObsUpgrade_ZapiszDoPrzyrzaduUstawienia();
