// The connect dialog: the number, tone or pulse, manual or automatic
// dialling, and one connection attempt with the dialling panel.
#include "korvi70/modem/exchange.h"
#include "korvi70/modem/modem.h"
#include "korvi70/modem/panels.h"
#include "korvi70/modem/reply_rules.h"
#include "korvi70/result_codes.h"
#include "ui/Korvi70G.h"
#include "ui/failed_write.h"
#include "ui/ui.h"

namespace {

using namespace korvi70::modem;

constexpr int kPanelMissing = 5;  // as the library's other dialogs when their panel cannot be loaded

void ReadManual(int panel) {
    Korvi70_RecznyWyborNumeru = static_cast<unsigned char>(IntValue(panel, PANEL_MODEM_RECZNY) != 0);
    ui::SetCtrlAttribute(panel, PANEL_MODEM_NUMER, ui::ATTR_DIMMED, Korvi70_RecznyWyborNumeru ? 1 : 0);
}

void ReadDialMode(int panel) {
    Korvi70_TrybWybierania = static_cast<unsigned char>(IntValue(panel, PANEL_MODEM_TRYB) != 0);
}

}  // namespace

int Korvi70_Polacz(int port, int connectPanel) {
    if (!ValidPort(port)) return korvi70::kRefused;
    ui::RegisterCallback("ObsEkrWybNr_Czas", ObsEkrWybNr_Czas);
    const int panel = LoadModemPanel(PANEL_WYBNR);
    if (panel <= 0) return kPanelMissing;
    ui::InstallPopup(panel);
    int rc;
    if (Korvi70_RecznyWyborNumeru != 0) {
        Korvi70_Modem_ZablokujSprSygnaluNaLaczu(port);
        ui::MessagePopup("Wykonaj.",
                         "Wybierz numer na aparacie telefonicznym podłączonym do modemu. Potem naciśnij klawisz");
        rc = Korvi70_WybierzNumer(port, "", static_cast<char>(Korvi70_TrybWybierania), panel);
    } else {
        char number[kTextSize + 1] = "";
        ui::GetCtrlVal(connectPanel, PANEL_MODEM_NUMER, number, sizeof number);
        rc = Korvi70_WybierzNumer(port, number, static_cast<char>(Korvi70_TrybWybierania), panel);
    }
    ui::RemovePopup(0);
    ui::DiscardPanel(panel);
    return rc;
}

int Korvi70_PolaczModem(int port) {
    if (!ValidPort(port)) return korvi70::kRefused;
    const double kept = Korvi70_CzasOdpowiedziModemu;
    Korvi70_CzasOdpowiedziModemu = 0.2;
    const int panel = LoadModemPanel(PANEL_MODEM);
    if (panel <= 0) {
        Korvi70_CzasOdpowiedziModemu = kept;
        return kPanelMissing;
    }
    ui::RecallPanelState(panel, kStateFile, kConnectState);
    ui::InstallPopup(panel);

    char product[kTextSize + 1];
    ui::SetCtrlVal(panel, PANEL_MODEM_PRODUKT,
                   Korvi70_Modem_PodProductType(port, product) == korvi70::kDone ? product : "nie dostępny");
    ui::SetCtrlAttribute(panel, PANEL_MODEM_PRODUKT, ui::ATTR_DIMMED, 0);
    ReadManual(panel);
    ReadDialMode(panel);
    Korvi70_Modem_PodZnakKoncaTransmisjiDanych(port, &Korvi70_ZnakKoncaTransmisji);

    int rc = 4;
    for (;;) {
        int from = 0, control = 0;
        // Nothing more comes when the program's event loop is ending: as cancel.
        if (ui::GetUserEvent(1, &from, &control) != ui::EVENT_COMMIT) break;
        if (from != panel) continue;
        if (control == PANEL_MODEM_ANULUJ) break;
        if (control == PANEL_MODEM_POLACZ) {
            rc = Korvi70_Polacz(port, panel);
            break;
        }
        if (control == PANEL_MODEM_RECZNY) ReadManual(panel);
        if (control == PANEL_MODEM_TRYB) ReadDialMode(panel);
    }
    ui::SaveDialogState(panel, kStateFile, kConnectState);
    ui::RemovePopup(0);
    ui::DiscardPanel(panel);
    Korvi70_CzasOdpowiedziModemu = kept;
    return rc;
}
