#include "upgrade/settings_transfer.h"

#include <cstdint>
#include <cstring>

#include "korvi70/attempts.h"
#include "ui/ui.h"
#include "upgrade/messages.h"
#include "upgrade/upgrade_hooks.h"
#include "vgx52/registers.h"

upgrade::SavedSettings ObsUpgrade_Ustawienia;

namespace upgrade {

using korvi70::kDone;
using korvi70::WithAttempts;

namespace {

constexpr int kInstrument = 0;

char RealCode(int item) { return static_cast<char>('a' + item); }

// Reads one item into its slot. Each value is read into a local first: a
// failed read may have stored part of a reply, and the slot keeps what it had.
int ReadItem(SavedSettings &settings, int item) {
    if (item < kIntegerA) {
        double value = 0;
        const int rc = WithAttempts([&] { return VGX52_PodWartFloat(kInstrument, RealCode(item), &value); });
        if (rc == kDone) settings.reals[item] = value;
        return rc;
    }
    switch (item) {
    case kIntegerA: {
        int value = 0;
        const int rc = WithAttempts([&] { return VGX52_PodWartInt(kInstrument, 'A', &value); });
        if (rc == kDone) settings.integerA = value;
        return rc;
    }
    case kInstrumentId: {
        unsigned char id = 0;
        const int rc = WithAttempts([&] { return Korvi70_PodNrId(&id); });
        if (rc == kDone) settings.id = id;
        return rc;
    }
    default: {
        char text[sizeof settings.serial] = {};
        const int rc = WithAttempts([&] { return Korvi70_PodNumerSeryjny(kInstrument, text); });
        if (rc == kDone) std::memcpy(settings.serial, text, sizeof settings.serial);
        return rc;
    }
    }
}

int WriteItem(const SavedSettings &settings, int item) {
    if (item < kIntegerA)
        return WithAttempts([&] { return VGX52_ZapWartFloat(kInstrument, RealCode(item), settings.reals[item]); });
    switch (item) {
    case kIntegerA: return WithAttempts([&] { return VGX52_ZapWartInt(kInstrument, 'A', settings.integerA); });
    case kInstrumentId:
        if (settings.id == kInstrument) return kDone;
        return WithAttempts([&] { return Korvi70_ZapNrId(kInstrument, settings.id); });
    default: return WithAttempts([&] { return Korvi70_ZapNumerSeryjny(kInstrument, settings.serial); });
    }
}

std::uint32_t FloatBits(double value) {
    const float single = static_cast<float>(value);
    std::uint32_t bits = 0;
    std::memcpy(&bits, &single, sizeof bits);
    return bits;
}

}  // namespace

int ReadSettings(SavedSettings &settings, UpgradeHooks &hooks) {
    int failed = 0;
    for (int item = 0; item < kSettingItems; ++item) {
        const int rc = ReadItem(settings, item);
        settings.held[item] = rc == kDone;
        if (rc == kDone) continue;
        ++failed;
        hooks.SettingReadFailed(item, rc);
    }
    return failed;
}

int WriteSettings(const SavedSettings &settings, UpgradeHooks &hooks) {
    int failed = 0;
    for (int item = 0; item < kSettingItems; ++item) {
        if (!settings.held[item]) continue;
        const int rc = WriteItem(settings, item);
        if (rc == kDone) continue;
        ++failed;
        hooks.SettingWriteFailed(item, rc);
    }
    return failed;
}

bool SameSetting(const SavedSettings &a, const SavedSettings &b, int item) {
    if (item < 0 || item >= kSettingItems || !a.held[item] || !b.held[item]) return false;
    if (item < kIntegerA) return FloatBits(a.reals[item]) == FloatBits(b.reals[item]);
    switch (item) {
    case kIntegerA: return a.integerA == b.integerA;
    case kInstrumentId: return a.id == b.id;
    default: return std::strncmp(a.serial, b.serial, sizeof a.serial) == 0;
    }
}

const char *SettingName(int item) {
    static const char *const kNames[kSettingItems] = {"a", "b", "c", "d", "e", "f", "g",  "h",
                                                      "i", "j", "k", "l", "m", "A", "ID", "serial number"};
    return item >= 0 && item < kSettingItems ? kNames[item] : "?";
}

void SettingPopups::SettingReadFailed(int, int) { ui::MessagePopup(kSettingErrorTitle, kSettingReadFailed); }
void SettingPopups::SettingWriteFailed(int, int) { ui::MessagePopup(kSettingErrorTitle, kSettingWriteFailed); }

}  // namespace upgrade

int ObsUpgrade_OdczytajZPrzyrzaduUstawienia() {
    upgrade::SettingPopups popups;
    return upgrade::ReadSettings(ObsUpgrade_Ustawienia, popups);
}

int ObsUpgrade_ZapiszDoPrzyrzaduUstawienia() {
    upgrade::SettingPopups popups;
    return upgrade::WriteSettings(ObsUpgrade_Ustawienia, popups);
}
