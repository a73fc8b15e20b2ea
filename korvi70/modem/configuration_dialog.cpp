// The modem configuration dialog: every change of a control goes to the
// modem at once; the remembered settings are written each time it opens,
// the registers, stored numbers and product text are read from the modem.
#include <cstring>
#include <string>

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

constexpr int kSlots = 4;
constexpr double kDisturbanceCheckOff = 25.5;  // register 255

// A control bound to one write with a char value, and its error text.
struct CharSetting {
    int control;
    int (*write)(int port, char value);
    const char *error;
};
constexpr CharSetting kCharSettings[] = {
    {PANEL_KONF_ECHO_DANYCH, Korvi70_Modem_LocalEchoDanych, "Zapis aktywności echa lokalnego danych niepoprawny."},
    {PANEL_KONF_STARTOWA, Korvi70_Modem_ZapKonfiguracjeStartowa, "Zapis konfiguracji startowej niepoprawny."},
    {PANEL_KONF_TRYB_RS, Korvi70_Modem_ZapTrybUstPredkosciRS,
     "Zapis trybu ustanawiania prędkości na łączu RS wykonany niepoprawnie."},
    {PANEL_KONF_PRED_MIN, Korvi70_Modem_MinPredNaLaczuTelefon,
     "Zapis minimalnej prędkości połączenia wykonany niepoprawnie."},
    {PANEL_KONF_PRED_MAX, Korvi70_Modem_MaxPredNaLaczuTelefon,
     "Zapis maksymalnej prędkości połączenia wykonany niepoprawnie."},
};

struct IntSetting {
    int control;
    int (*write)(int port, int value);
    int (*read)(int port, int *value);
    const char *error;
};
constexpr IntSetting kIntSettings[] = {
    {PANEL_KONF_S0, Korvi70_Modem_ZapOdbierzPolaczeniePoSygnalach, Korvi70_Modem_PodOdbierzPolaczeniePoSygnalach,
     "Rozkaz zapisu ilości sygnałów przy odbieraniu połączenia wykonany niepoprawnie."},
    {PANEL_KONF_S7, Korvi70_Modem_ZapCzasOczekiwaniaNaPolaczenie, Korvi70_Modem_PodCzasOczekiwaniaNaPolaczenie,
     "Rozkaz zapisu czasu oczekiwania na połączenie wykonany niepoprawnie."},
    {PANEL_KONF_S8, Korvi70_Modem_ZapCzasTrwaniaPauzy, Korvi70_Modem_PodCzasTrwaniaPauzy,
     "Rozkaz zapisu czasu trwania pauzy wykonany niepoprawnie."},
};

// Registers as last read or chosen, shown again when a read fails.
struct Registers {
    int s0 = 0, s7 = 0, s8 = 0;
    double s10 = 0;
};
Registers g_registers;
int *RegisterOf(int control) {
    if (control == PANEL_KONF_S0) return &g_registers.s0;
    if (control == PANEL_KONF_S7) return &g_registers.s7;
    return &g_registers.s8;
}

void Check(int rc, const char *error) {
    if (rc != korvi70::kDone) ui::MessagePopup(kErrorTitle, error);
}

char CharValue(int panel, int control) { return static_cast<char>(IntValue(panel, control)); }

void ShowSlot(int panel, int slot, const char *label) {
    int count = 0;
    ui::GetNumListItems(panel, PANEL_KONF_NUMERY, &count);
    if (slot < count)
        ui::ReplaceListItem(panel, PANEL_KONF_NUMERY, slot, label, slot);
    else
        ui::InsertListItem(panel, PANEL_KONF_NUMERY, -1, label, slot);
}

void ShowEscape(int panel) {
    const char text[2] = {Korvi70_ZnakKoncaTransmisji, '\0'};
    ui::SetCtrlVal(panel, PANEL_KONF_S2, text);
}

void ShowDisturbance(int panel) {
    const bool off = g_registers.s10 == kDisturbanceCheckOff;
    ui::SetCtrlAttribute(panel, PANEL_KONF_S10, ui::ATTR_DIMMED, off ? 1 : 0);
    if (!off) ui::SetCtrlVal(panel, PANEL_KONF_S10, g_registers.s10);
    ui::SetCtrlVal(panel, PANEL_KONF_S10_KONTROLA, off ? 0 : 1);
}

void Open(int port, int panel) {
    // The remembered settings go to the modem; failures are not reported here.
    Korvi70_EchoModemu = static_cast<unsigned char>(IntValue(panel, PANEL_KONF_ECHO) != 0);
    Korvi70_Modem_LocalEcho(port, static_cast<char>(Korvi70_EchoModemu));
    Korvi70_Modem_LocalEchoDanych(port, CharValue(panel, PANEL_KONF_ECHO_DANYCH));
    Korvi70_Modem_ZapUstawieniaStaleDlaKorvi70(port);
    for (const CharSetting &s : kCharSettings)
        if (s.control != PANEL_KONF_ECHO_DANYCH) s.write(port, CharValue(panel, s.control));

    for (int slot = 0; slot < kSlots; ++slot) {
        char number[kTextSize + 1];
        // An empty slot has no number either.
        const bool read = Korvi70_Modem_PodNrTelZPamieci(port, static_cast<char>(slot), number) == korvi70::kDone;
        ShowSlot(panel, slot, read && number[0] != '\0' ? number : "brak numeru");
    }
    Korvi70_Modem_PodOdbierzPolaczeniePoSygnalach(port, &g_registers.s0);
    ui::SetCtrlVal(panel, PANEL_KONF_S0, g_registers.s0);
    Korvi70_Modem_PodZnakKoncaTransmisjiDanych(port, &Korvi70_ZnakKoncaTransmisji);
    ShowEscape(panel);
    Korvi70_Modem_PodCzasOczekiwaniaNaPolaczenie(port, &g_registers.s7);
    ui::SetCtrlVal(panel, PANEL_KONF_S7, g_registers.s7);
    Korvi70_Modem_PodCzasTrwaniaPauzy(port, &g_registers.s8);
    ui::SetCtrlVal(panel, PANEL_KONF_S8, g_registers.s8);
    Korvi70_Modem_PodMaxCzasZaklocenNaLaczu(port, &g_registers.s10);
    ShowDisturbance(panel);

    char product[kTextSize + 1];
    ui::SetCtrlVal(panel, PANEL_KONF_PRODUKT,
                   Korvi70_Modem_PodProductType(port, product) == korvi70::kDone ? product : "nie dostępny");
    ui::SetCtrlAttribute(panel, PANEL_KONF_PRODUKT, ui::ATTR_DIMMED, 0);
}

// A new number for the chosen slot. A cancelled prompt changes nothing.
void StoreNumber(int port, int panel) {
    int index = -1, slot = 0;
    if (ui::GetCtrlIndex(panel, PANEL_KONF_NUMERY, &index) != 0 || index < 0) return;
    if (ui::GetValueFromIndex(panel, PANEL_KONF_NUMERY, index, &slot) != 0 || slot < 0 || slot >= kSlots) return;
    char number[kTextSize + 1] = "";
    if (ui::PromptPopup("Podaj nowy numer telefonu.", "Wpisz", number, static_cast<int>(kTextSize)) != 0) return;
    const int rc = Korvi70_Modem_ZapNrTelDoPamieci(port, static_cast<char>(slot), number);
    ShowSlot(panel, slot, number);
    Check(rc, "Zapis numeru telefonu do pamięci modemu wykonany niepoprawnie.");
}

void DisturbanceCheck(int port, int panel) {
    if (IntValue(panel, PANEL_KONF_S10_KONTROLA) != 0) {
        ui::GetCtrlVal(panel, PANEL_KONF_S10, &g_registers.s10);
        ui::SetCtrlAttribute(panel, PANEL_KONF_S10, ui::ATTR_DIMMED, 0);
        Check(Korvi70_Modem_ZapMaxCzasZaklocenNaLaczu(port, g_registers.s10),
              "Rozkaz odblokowania kontroli czasu zakłóceń na łączu wykonany niepoprawnie.");
    } else {
        ui::SetCtrlAttribute(panel, PANEL_KONF_S10, ui::ATTR_DIMMED, 1);
        Check(Korvi70_Modem_ZapMaxCzasZaklocenNaLaczu(port, kDisturbanceCheckOff),
              "Rozkaz zablokowania kontroli czasu zakłóceń na łączu wykonany niepoprawnie.");
    }
}

void Dispatch(int port, int panel, int control) {
    for (const CharSetting &s : kCharSettings)
        if (control == s.control) return Check(s.write(port, CharValue(panel, control)), s.error);
    for (const IntSetting &s : kIntSettings) {
        if (control != s.control) continue;
        int *value = RegisterOf(control);
        *value = IntValue(panel, control, *value);
        return Check(s.write(port, *value), s.error);
    }
    switch (control) {
    case PANEL_KONF_ECHO:
        // Set first: the replies that follow are parsed with the new setting.
        Korvi70_EchoModemu = static_cast<unsigned char>(IntValue(panel, control) != 0);
        return Check(Korvi70_Modem_LocalEcho(port, static_cast<char>(Korvi70_EchoModemu)),
                     "Zapis aktywności echa lokalnego niepoprawny.");
    case PANEL_KONF_S2: {
        std::string text;
        ui::GetCtrlVal(panel, control, &text);
        Korvi70_ZnakKoncaTransmisji = text.empty() ? '\0' : text[0];
        return Check(Korvi70_Modem_ZapZnakKoncaTransmisjiDanych(port, Korvi70_ZnakKoncaTransmisji),
                     "Rozkaz zapisu znaku końca transmisji danych wykonany niepoprawnie.");
    }
    case PANEL_KONF_S10:
        ui::GetCtrlVal(panel, control, &g_registers.s10);
        return Check(Korvi70_Modem_ZapMaxCzasZaklocenNaLaczu(port, g_registers.s10),
                     "Rozkaz zapisu maksymalnego czasu trwania zakłóceń na łączu wykonany niepoprawnie.");
    case PANEL_KONF_S10_KONTROLA: return DisturbanceCheck(port, panel);
    case PANEL_KONF_RESET:
        return Check(Korvi70_ResetujModem(port, CharValue(panel, PANEL_KONF_RESET_TRYB)),
                     "Rozkaz resetowania wykonany niepoprawnie.");
    case PANEL_KONF_TEST:
        return Check(Korvi70_Modem_Testuj(port, CharValue(panel, PANEL_KONF_TEST_TRYB)),
                     "Rozkaz testowania wykonany niepoprawnie.");
    case PANEL_KONF_ZAPISZ0:
        return Check(Korvi70_Modem_ZapUstDoKonfUzytkownika(port, 0),
                     "Zapis ustawień do konfiguracji użytkownika nr0 wykonany niepoprawnie.");
    case PANEL_KONF_ZAPISZ1:
        return Check(Korvi70_Modem_ZapUstDoKonfUzytkownika(port, 1),
                     "Zapis ustawień do konfiguracji użytkownika nr1 wykonany niepoprawnie.");
    case PANEL_KONF_NUMERY: return StoreNumber(port, panel);
    default: return;  // product text, reset and test selectors
    }
}

}  // namespace

int Korvi70_KonfiguracjaModemu(int port) {
    if (!ValidPort(port)) return korvi70::kRefused;
    const double kept = Korvi70_CzasOdpowiedziModemu;
    Korvi70_CzasOdpowiedziModemu = 0.2;
    const int panel = LoadModemPanel(PANEL_KONF);
    if (panel <= 0) {
        Korvi70_CzasOdpowiedziModemu = kept;
        return 5;  // as the library's other dialogs when their panel cannot be loaded
    }
    ui::RecallPanelState(panel, kStateFile, kConfigurationState);
    ui::InstallPopup(panel);
    Open(port, panel);
    for (;;) {
        int from = 0, control = 0;
        if (ui::GetUserEvent(1, &from, &control) != ui::EVENT_COMMIT) break;
        if (from != panel) continue;
        if (control == PANEL_KONF_ZAMKNIJ) break;
        Dispatch(port, panel, control);
    }
    ui::RemovePopup(0);
    ui::SaveDialogState(panel, kStateFile, kConfigurationState);
    ui::DiscardPanel(panel);
    Korvi70_CzasOdpowiedziModemu = kept;
    return 0;
}
