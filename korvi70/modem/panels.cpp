#include "korvi70/modem/panels.h"

#include "ui/ui.h"

namespace korvi70::modem {

int LoadModemPanel(int resourceId) {
    const int panel = ui::LoadPanel(0, "Korvi70G.Uir", resourceId);
    return panel > 0 ? panel : ui::LoadPanel(0, "\\Korvi70\\LWCVI\\Korvi70G.Uir", resourceId);
}

int IntValue(int panel, int control, int fallback) {
    int value = fallback;
    return ui::GetCtrlVal(panel, control, &value) == 0 ? value : fallback;
}

}  // namespace korvi70::modem
