// settings-save FILE and settings-restore FILE: the instrument's settings
// (the upgrade's: reals "a".."m", integer "A", ID, serial number) to and
// from the text file the upgrade writes as its backup. Both address ID 0,
// as the upgrade does. The result: 0 when every item went through, -1
// when one did not, or the failing result when nothing could be read.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/command_table.h"
#include "cli/settings_report.h"
#include "korvi70/result_codes.h"
#include "upgrade/settings_file.h"
#include "upgrade/settings_transfer.h"
#include "upgrade/upgrade_sequence.h"

namespace cli {
namespace {

using Args = std::vector<std::string>;
using upgrade::kSettingItems;
using upgrade::SavedSettings;

using korvi70::kNotDone;  // the settings transfer not done (exit status 255)

bool OneFile(const Args &args, Params &params, ArgError &error) {
    if (!ExpectCount(args, 1, "FILE", error)) return false;
    params.text = args[0];
    return true;
}

bool AddressesIdZero(const Context &context, const char *command) {
    if (context.id == 0) return true;
    std::fprintf(context.err, "%s: the settings always go to ID 0 (the instrument on the line)\n", command);
    return false;
}

int HeldCount(const SavedSettings &settings) {
    int n = 0;
    for (bool held : settings.held) n += held ? 1 : 0;
    return n;
}

int SettingsSave(const Context &context, const Params &params) {
    if (!AddressesIdZero(context, "settings-save")) return korvi70::kRefused;
    SettingsReport report(context.err, "settings-save");
    SavedSettings settings;
    const int failed = upgrade::ReadSettings(settings, report);
    if (failed == kSettingItems) {
        std::fprintf(context.err, "settings-save: no setting could be read; %s was not written\n", params.text.c_str());
        return report.lastResult;
    }
    upgrade::InstrumentFacts facts;
    upgrade::IdentifyInstrument(&facts);
    upgrade::ReadSoftwareVersion(&facts);
    std::string error;
    if (upgrade::WriteSettingsFile(params.text.c_str(), settings, facts, &error) != 0) {
        std::fprintf(context.err, "settings-save: %s cannot be written: %s\n", params.text.c_str(), error.c_str());
        return kNotDone;
    }
    PrintInt(context, HeldCount(settings));
    return failed == 0 ? korvi70::kDone : kNotDone;
}

// Notes each item's result of the read-back.
class ReadBack : public upgrade::UpgradeHooks {
public:
    int result[kSettingItems] = {};
    void SettingReadFailed(int item, int rc) override { result[item] = rc; }
};

int SettingsRestore(const Context &context, const Params &params) {
    if (!AddressesIdZero(context, "settings-restore")) return korvi70::kRefused;
    const char *path = params.text.c_str();
    SavedSettings file;
    std::vector<std::string> ignored;
    std::string error;
    if (upgrade::ReadSettingsFile(path, file, &ignored, &error) != 0) {
        std::fprintf(context.err, "settings-restore: %s cannot be read: %s\n", path, error.c_str());
        return kNotDone;
    }
    for (const std::string &why : ignored)
        std::fprintf(context.err, "settings-restore: %s, %s; left out\n", path, why.c_str());
    if (HeldCount(file) == 0) {
        std::fprintf(context.err, "settings-restore: %s holds no settings; nothing was sent\n", path);
        return kNotDone;
    }

    SettingsReport report(context.err, "settings-restore");
    upgrade::WriteSettings(file, report);
    ReadBack back;
    SavedSettings now;
    upgrade::ReadSettings(now, back);

    int differing = 0;
    for (int item = 0; item < kSettingItems; ++item) {
        if (!file.held[item]) continue;
        const char *name = upgrade::SettingName(item);
        if (item == upgrade::kInstrumentId && file.id == 0) {
            if (now.held[item] && now.id != 0)
                std::fprintf(context.err, "settings-restore: the file's ID is 0; the instrument keeps its ID %d\n",
                             now.id);
            continue;
        }
        if (!now.held[item]) {
            std::fprintf(context.err, "settings-restore: setting %s could not be read back (%s %d)\n", name,
                         ResultText(back.result[item]), back.result[item]);
            ++differing;
        } else if (!upgrade::SameSetting(file, now, item)) {
            std::fprintf(context.err, "settings-restore: setting %s differs: the file holds %s, the instrument %s\n",
                         name, upgrade::SettingValueText(file, item).c_str(),
                         upgrade::SettingValueText(now, item).c_str());
            ++differing;
        }
    }
    PrintInt(context, HeldCount(file) - differing);
    return differing == 0 ? korvi70::kDone : kNotDone;
}

constexpr Command kCommands[] = {
    {"settings-save", "FILE", "the instrument's settings (as the upgrade saves them) into a text file", OneFile,
     SettingsSave},
    {"settings-restore", "FILE", "writes every setting a settings file holds, reads each back; 0 only when all match",
     OneFile, SettingsRestore},
};

}  // namespace

std::span<const Command> SettingsCommandTable() { return kCommands; }

}  // namespace cli
