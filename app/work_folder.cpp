#include "app/work_folder.h"

#include "app/constants.h"
#include "platform/paths.h"
#include "ui/ui.h"

namespace app {

int SettleWorkFolder(const std::string &programFolder, const std::string &userFiles) {
    std::string current;
    if (userFiles.empty() || platform::GetDir(current) != 0 || !platform::SameFolder(current, programFolder)) return 0;
    const std::string folder = userFiles + platform::kFolderSeparator + kModelName;
    int rc = platform::MakeDirs(folder);
    if (rc == 0) rc = platform::SetDir(folder);
    if (rc != 0) {
        const std::string text = "Nie można utworzyć katalogu roboczego " + folder + ": " + platform::PathErrorText(rc);
        ui::MessagePopup("Wystąpił błąd.", text.c_str());
    }
    return rc;
}

}  // namespace app
