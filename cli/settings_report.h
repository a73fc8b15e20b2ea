// How vgx52ctl reports the settings transfer of the upgrade and of the
// settings commands: a line on the error stream for each item that failed.
#pragma once
#include <cstdio>

#include "upgrade/upgrade_hooks.h"

namespace cli {

// "refused", "the link failed", "no valid reply" or "status" for a result.
const char *ResultText(int result);

class SettingsReport : public upgrade::UpgradeHooks {
public:
    // command: the word each line starts with.
    SettingsReport(std::FILE *err, const char *command) : err_(err), command_(command) {}

    void SettingReadFailed(int item, int result) override { Failed("reading", item, result); }
    void SettingWriteFailed(int item, int result) override { Failed("writing", item, result); }

    int lastResult = 0;  // of the last item that failed

protected:
    void Failed(const char *what, int item, int result);
    std::FILE *err_;
    const char *command_;
};

}  // namespace cli
