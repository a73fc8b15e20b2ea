#include "cli/settings_report.h"

#include "korvi70/result_codes.h"
#include "upgrade/settings_transfer.h"

namespace cli {

const char *ResultText(int result) {
    switch (result) {
    case korvi70::kRefused: return "refused";
    case korvi70::kLinkFailed: return "the link failed";
    case korvi70::kNoValidReply: return "no valid reply";
    default: return "status";
    }
}

void SettingsReport::Failed(const char *what, int item, int result) {
    lastResult = result;
    std::fprintf(err_, "%s: %s setting %s failed (%s %d)\n", command_, what, upgrade::SettingName(item),
                 ResultText(result), result);
}

}  // namespace cli
