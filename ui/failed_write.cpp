#include "ui/failed_write.h"

#include <set>

#include "ui/ui.h"

namespace ui {

void ReportFailedWrite(const std::string &path, const std::string &reason) {
    static std::set<std::string> reported;
    if (!reported.insert(path).second) return;
    const std::string text =
        "Nie można zapisać zbioru " + path + ": " + (reason.empty() ? "nieznana przyczyna" : reason);
    MessagePopup("Wystąpił błąd.", text.c_str());
}

int SaveDialogState(int panel, const char *fileName, int stateIndex) {
    const int rc = SavePanelState(panel, fileName, stateIndex);
    if (rc == UIE_FILE_WRITE) ReportFailedWrite(PanelStateFilePath(fileName), GetLastResourceError());
    return rc;
}

}  // namespace ui
