// upgrade FILE [--hw N] [--no-backup]: the upgrade screen's sequence
// without its dialogs. Messages and the progress go to the error stream;
// the pages written go to the output. The result is the screen's: 0 done,
// -1 not done (file missing, damaged or made for another hardware version,
// no settings backup, or the transfer stopped).
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <string>

#include "cli/command_table.h"
#include "cli/settings_report.h"
#include "cli/upgrade_progress.h"
#include "platform/system.h"
#include "upgrade/upgrade_sequence.h"

namespace cli {
namespace {

using Args = std::vector<std::string>;

bool ParseUpgrade(const Args &args, Params &params, ArgError &error) {
    Args rest;
    params.number[0] = 0;  // --hw: 0 = not given
    params.number[1] = 0;  // --no-backup: 1 when given
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &arg = args[i];
        if (arg == "--no-backup") {
            params.number[1] = 1;
        } else if (arg == "--hw" || arg.rfind("--hw=", 0) == 0) {
            std::string value;
            if (arg == "--hw") {
                if (i + 1 >= args.size()) return Fail(error, "--hw needs a hardware version");
                value = args[++i];
            } else {
                value = arg.substr(5);
            }
            if (!ArgInt(value, 1, 8, "--hw", params.number[0], error)) return false;
        } else {
            rest.push_back(arg);
        }
    }
    if (!ExpectCount(rest, 1, "FILE [--hw N] [--no-backup]", error)) return false;
    params.text = rest[0];
    return true;
}

// The hardware version a file name such as "vgx52hv3.a90" was made for; 0
// when the name says nothing.
int VersionInName(const std::string &path) {
    const std::size_t slash = path.find_last_of("/\\");
    std::string name = path.substr(slash == std::string::npos ? 0 : slash + 1);
    for (char &c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (name.size() != 12 || name.compare(0, 7, "vgx52hv") != 0 || name.compare(8, 4, ".a90") != 0) return 0;
    return name[7] >= '1' && name[7] <= '8' ? name[7] - '0' : 0;
}

class CliHooks : public SettingsReport {
public:
    CliHooks(const Context &context, int givenVersion)
        : SettingsReport(context.err, "upgrade"),
          givenVersion_(givenVersion),
          progress_(context.err, isatty(fileno(context.err)) == 1, upgrade::kPageSize) {}

    int pagesWritten = 0;

    int AskHardwareVersion() override {
        const int version = givenVersion_ > 0 ? givenVersion_ : 1;
        std::fprintf(err_, "upgrade: the instrument did not identify itself; hardware version %d %s\n", version,
                     givenVersion_ > 0 ? "(--hw)" : "assumed (give --hw N)");
        return version;
    }
    void HardwareVersionKnown(int version, bool identified) override {
        if (identified) std::fprintf(err_, "upgrade: hardware version %d\n", version);
    }
    void FirmwareMissing(const char *path, const char *) override {
        std::fprintf(err_, "upgrade: cannot open %s\n", path);
    }
    void FirmwareDamaged(const char *path, int line, const char *reason) override {
        if (line > 0)
            std::fprintf(err_, "upgrade: %s, line %d: %s\n", path, line, reason);
        else
            std::fprintf(err_, "upgrade: %s: %s\n", path, reason);
        std::fprintf(err_, "upgrade: nothing was sent to the instrument\n");
    }
    bool FirmwareLoaded(const char *path, int version, int pageCount) override {
        const int named = VersionInName(path);
        if (named != 0 && named != version) {
            std::fprintf(err_,
                         "upgrade: %s is made for hardware version %d, the instrument is version %d; nothing was "
                         "sent to the instrument\n",
                         path, named, version);
            return false;
        }
        std::fprintf(err_, "upgrade: %s: %d pages of %d bytes\n", path, pageCount, upgrade::kPageSize);
        return true;
    }
    void BackupWritten(const char *path) override { std::fprintf(err_, "upgrade: settings saved in %s\n", path); }
    bool GoOnWithoutBackup(const char *path, const char *reason) override {
        std::fprintf(err_,
                     "upgrade: the settings backup %s cannot be written: %s; nothing was sent to the instrument "
                     "(--no-backup upgrades without one)\n",
                     path, reason);
        return false;
    }
    void TransferStarting(int pageCount) override { progress_.Start(pageCount, platform::Timer()); }
    void PageWritten(int page, int) override {
        pagesWritten = page + 1;
        progress_.Update(pagesWritten, platform::Timer());
    }
    void TransferEnded(bool) override { progress_.Finish(); }
    void TransferFailed(int page, int pageCount, int result, const char *backupPath) override {
        std::fprintf(err_,
                     "upgrade: the upgrade did not complete: page %d of %d was not accepted (%s %d); the "
                     "instrument's software is incomplete, repeat the upgrade\n",
                     page + 1, pageCount, ResultText(result), result);
        BackupWhere(backupPath);
    }
    void SettingsNotWrittenBack(int failed, const char *backupPath) override {
        std::fprintf(err_, "upgrade: %d settings could not be written back\n", failed);
        BackupWhere(backupPath);
    }

private:
    void BackupWhere(const char *backupPath) {
        if (*backupPath != '\0')
            std::fprintf(err_, "upgrade: the settings read before are in %s (vgx52ctl settings-restore FILE)\n",
                         backupPath);
    }

    int givenVersion_;
    UpgradeProgress progress_;
};

int Upgrade(const Context &context, const Params &params) {
    if (context.id != 0) {
        std::fprintf(context.err, "upgrade: the upgrade always addresses ID 0 (the instrument on the line)\n");
        return korvi70::kRefused;
    }
    CliHooks hooks(context, static_cast<int>(params.number[0]));
    const bool backup = params.number[1] == 0;
    if (!backup) std::fprintf(context.err, "upgrade: no settings backup (--no-backup)\n");
    const int rc = upgrade::RunUpgrade(hooks, params.text.c_str(), backup);
    if (rc == korvi70::kDone) PrintInt(context, hooks.pagesWritten);
    return rc;
}

constexpr Command kCommands[] = {
    {"upgrade", "FILE [--hw N] [--no-backup]",
     "firmware upgrade from an Intel-HEX file, settings backed up, saved and written back (--hw: version if "
     "unidentified; --no-backup: no backup file)",
     ParseUpgrade, Upgrade},
};

}  // namespace

std::span<const Command> UpgradeCommandTable() { return kCommands; }

}  // namespace cli
