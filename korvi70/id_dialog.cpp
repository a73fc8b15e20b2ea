// Reading an instrument's ID and giving it a new one.
#include <cstdio>

#include "korvi70/config.h"
#include "korvi70/dialogs.h"
#include "korvi70/generic_commands.h"
#include "korvi70/result_codes.h"
#include "ui/Korvi70G.h"
#include "ui/ui.h"

namespace {

void WriteId(int panel, int control) {
    int current = 0, newId = 0;
    if (control == PANEL_NRID_ZAPISZ) ui::GetCtrlVal(panel, PANEL_NRID_BIEZACY, &current);
    ui::GetCtrlVal(panel, PANEL_NRID_NOWY, &newId);
    const int rc = Korvi70_ZapNrId(current, newId);
    ui::SetCtrlAttribute(panel, PANEL_NRID_NOWY, ui::ATTR_TEXT_COLOR,
                         rc == korvi70::kDone ? ui::VAL_BLACK : ui::VAL_RED);
}

void ReadId(int panel) {
    unsigned char id = 0;
    const int rc = Korvi70_PodNrId(&id);
    ui::SetCtrlVal(panel, PANEL_NRID_ODCZYTANY, rc == korvi70::kDone ? static_cast<int>(id) : 0);
}

}  // namespace

int Korvi70_NadNrId() {
    const int panel = ui::LoadPanel(0, Korvi70_NazwaZbioruZGrafika, PANEL_NRID);
    if (panel <= 0) {
        std::fprintf(stderr, "%s\n", ui::GetLastResourceError().c_str());
        return korvi70::kPanelNotLoaded;
    }
    ui::InstallPopup(panel);
    for (;;) {
        int from = 0, control = 0;
        if (ui::GetUserEvent(1, &from, &control) != ui::EVENT_COMMIT) break;
        if (from != panel) continue;
        if (control == PANEL_NRID_ZAMKNIJ) break;
        if (control == PANEL_NRID_ZAPISZ || control == PANEL_NRID_ZAPISZ_ZERO) WriteId(panel, control);
        if (control == PANEL_NRID_ODCZYTAJ) ReadId(panel);
    }
    ui::RemovePopup(0);
    ui::DiscardPanel(panel);
    return 0;
}
