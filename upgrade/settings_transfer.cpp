#include "upgrade/settings_transfer.h"

#include <cstring>

#include "korvi70/attempts.h"
#include "korvi70/generic_commands.h"
#include "ui/ui.h"
#include "vgx52/registers.h"

double ObsUpgrade_UstawieniaFloat[ObsUpgrade_IleUstawienFloat];
int ObsUpgrade_UstawienieInt;
unsigned char ObsUpgrade_NrId;
char ObsUpgrade_NumerSeryjny[9];
unsigned char ObsUpgrade_Odczytane[ObsUpgrade_IleUstawien];

namespace upgrade {

using korvi70::WithAttempts;

namespace {

constexpr int kInstrument = 0;

char RealCode(int item) { return static_cast<char>('a' + item); }

// Reads one item into its slot. Each value is read into a local first: a
// failed read may have stored part of a reply, and the slot keeps what it had.
int ReadItem(int item) {
    if (item < kIntegerA) {
        double value = 0;
        const int rc = WithAttempts([&] { return VGX52_PodWartFloat(kInstrument, RealCode(item), &value); });
        if (rc == 0) ObsUpgrade_UstawieniaFloat[item] = value;
        return rc;
    }
    switch (item) {
    case kIntegerA: {
        int value = 0;
        const int rc = WithAttempts([&] { return VGX52_PodWartInt(kInstrument, 'A', &value); });
        if (rc == 0) ObsUpgrade_UstawienieInt = value;
        return rc;
    }
    case kInstrumentId: {
        unsigned char id = 0;
        const int rc = WithAttempts([&] { return Korvi70_PodNrId(&id); });
        if (rc == 0) ObsUpgrade_NrId = id;
        return rc;
    }
    default: {
        char text[Korvi70_DlugoscNumeruSeryjnego + 1] = {};
        const int rc = WithAttempts([&] { return Korvi70_PodNumerSeryjny(kInstrument, text); });
        if (rc == 0) {
            std::memcpy(ObsUpgrade_NumerSeryjny, text, sizeof ObsUpgrade_NumerSeryjny - 1);
            ObsUpgrade_NumerSeryjny[sizeof ObsUpgrade_NumerSeryjny - 1] = '\0';
        }
        return rc;
    }
    }
}

int WriteItem(int item) {
    if (item < kIntegerA)
        return WithAttempts(
            [&] { return VGX52_ZapWartFloat(kInstrument, RealCode(item), ObsUpgrade_UstawieniaFloat[item]); });
    switch (item) {
    case kIntegerA: return WithAttempts([] { return VGX52_ZapWartInt(kInstrument, 'A', ObsUpgrade_UstawienieInt); });
    case kInstrumentId:
        // The instrument is addressed as 0 throughout; an ID of 0 read before
        // is already in place, and writing 0 over 0 would only be refused.
        if (ObsUpgrade_NrId == kInstrument) return 0;
        return WithAttempts([] { return Korvi70_ZapNrId(kInstrument, ObsUpgrade_NrId); });
    default: return WithAttempts([] { return Korvi70_ZapNumerSeryjny(kInstrument, ObsUpgrade_NumerSeryjny); });
    }
}

void ShowReadFailure(void *, int, int) { ui::MessagePopup("Wystąpił błąd.", "Odczyt z przyrządu niepoprawny."); }
void ShowWriteFailure(void *, int, int) { ui::MessagePopup("Wystąpił błąd.", "Zapis do przyrządu niepoprawny."); }

}  // namespace

int ReadSettings(SettingFailure onFailure, void *context) {
    int failed = 0;
    for (int item = 0; item < ObsUpgrade_IleUstawien; ++item) {
        const int rc = ReadItem(item);
        ObsUpgrade_Odczytane[item] = rc == 0 ? 1 : 0;
        if (rc == 0) continue;
        ++failed;
        if (onFailure != nullptr) onFailure(context, item, rc);
    }
    return failed;
}

int WriteSettings(SettingFailure onFailure, void *context) {
    int failed = 0;
    for (int item = 0; item < ObsUpgrade_IleUstawien; ++item) {
        if (!ObsUpgrade_Odczytane[item]) continue;
        const int rc = WriteItem(item);
        if (rc == 0) continue;
        ++failed;
        if (onFailure != nullptr) onFailure(context, item, rc);
    }
    return failed;
}

const char *SettingName(int item) {
    static const char *const kNames[ObsUpgrade_IleUstawien] = {"a", "b", "c", "d", "e", "f", "g",  "h",
                                                               "i", "j", "k", "l", "m", "A", "ID", "serial number"};
    return item >= 0 && item < ObsUpgrade_IleUstawien ? kNames[item] : "?";
}

}  // namespace upgrade

int ObsUpgrade_OdczytajZPrzyrzaduUstawienia() { return upgrade::ReadSettings(upgrade::ShowReadFailure, nullptr); }
int ObsUpgrade_ZapiszDoPrzyrzaduUstawienia() { return upgrade::WriteSettings(upgrade::ShowWriteFailure, nullptr); }
