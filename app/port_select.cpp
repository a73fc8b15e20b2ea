#include "app/port_select.h"

#include <cstdio>
#include <string>

#include "app/app_state.h"
#include "app/constants.h"
#include "korvi70/link.h"
#include "korvi70/result_codes.h"
#include "platform/serial_ports.h"
#include "ui/VGX52_G.h"
#include "ui/ui.h"

namespace {

// Which device the highlighted port is, so that the operator can tell one
// adapter from another before accepting.
void ShowDevice(int panel) {
    int index = -1;
    ui::GetCtrlIndex(panel, PANEL_PORT_LISTA, &index);
    const platform::SerialDevice device = platform::ComPortDevice(index + 1);
    std::string text = device.kernelName.empty() ? device.path + ": brak urządzenia" : device.kernelName;
    if (!device.description.empty()) text += "\n" + device.description;
    ui::SetCtrlVal(panel, PANEL_PORT_URZADZENIE, text.c_str());
}

int ObsEkrWybZl_PokazUrzadzenie(int panel, int, int event, void *, int, int) {
    if (event == ui::EVENT_VAL_CHANGED) ShowDevice(panel);
    return 0;
}

}  // namespace

namespace app {

void ForceDirectSerialLink() {
    Korvi70_TypLacza = 0;
    Korvi70_CzasOczekiwaniaRS = kSerialTimeout;
    Korvi70_NrIdProg = kOwnId;
}

}  // namespace app

int OkreslKonfiguracjeKorvi70(const char *resourcePath) {
    app::ForceDirectSerialLink();

    PanelWybZlacza = ui::LoadPanel(0, resourcePath ? resourcePath : "", PANEL_PORT);
    if (PanelWybZlacza <= 0) {
        PanelWybZlacza = 0;
        return korvi70::kPanelNotLoaded;
    }
    ui::ClearListCtrl(PanelWybZlacza, PANEL_PORT_LISTA);
    for (int i = 0; i < 8; ++i) {
        char label[8];
        std::snprintf(label, sizeof label, "COM%d", i + 1);
        ui::InsertListItem(PanelWybZlacza, PANEL_PORT_LISTA, -1, label, i);
    }
    // A port outside COM1..COM8 selects nothing here: the first item stays.
    ui::SetCtrlIndex(PanelWybZlacza, PANEL_PORT_LISTA, Korvi70_NrZlacza - 1);
    ShowDevice(PanelWybZlacza);
    ui::InstallCtrlCallback(PanelWybZlacza, PANEL_PORT_LISTA, ObsEkrWybZl_PokazUrzadzenie, nullptr);

    ui::InstallPopup(PanelWybZlacza);
    int panel = 0, control = 0;
    const int event = ui::GetUserEvent(1, &panel, &control);
    ui::RemovePopup(0);

    int result = korvi70::kCancelled;
    int index = -1;
    if (event == ui::EVENT_COMMIT && panel == PanelWybZlacza && control == PANEL_PORT_OK &&
        ui::GetCtrlIndex(PanelWybZlacza, PANEL_PORT_LISTA, &index) >= 0 && index >= 0 && index < 8) {
        Korvi70_NrZlacza = index + 1;
        result = korvi70::kDone;
    }
    // Loaded anew each time it is shown, so it is not kept after use.
    ui::DiscardPanel(PanelWybZlacza);
    PanelWybZlacza = 0;
    return result;
}
