#include "app/density_screen.h"

#include "app/density_calculator.h"
#include "app/main_screen.h"
#include "app/screens.h"
#include "korvi70/attempts.h"
#include "toolvane/folders.h"
#include "ui/VGX52_G.h"
#include "ui/ui.h"
#include "vgx52/registers.h"

int PanelUstGest = 0;

namespace app {

void RegisterDensityCallbacks() {
    ui::RegisterCallback("ObsEkrUstGest_WpiszGestPowietrza", ObsEkrUstGest_WpiszGestPowietrza);
    ui::RegisterCallback("ObsEkrUstGest_KalkGest", ObsEkrUstGest_KalkGest);
    ui::RegisterCallback("ObsEkrUstGest_Powrot", ObsEkrUstGest_Powrot);
    RegisterCalculatorCallbacks();
}

}  // namespace app

int ObsEkrGl_UstGestGazu(int, int, int event, void *, int, int) {
    if (event != ui::EVENT_COMMIT) return 0;
    UstawOdpytywanieEkrGl(0);

    // Loaded anew at every opening; a panel left from an earlier one goes first.
    if (PanelUstGest > 0) ui::DiscardPanel(PanelUstGest);
    PanelUstGest = ui::LoadPanel(0, Toolvane_ZbiorUir, PANEL_UG);
    if (PanelUstGest < 1) {
        PanelUstGest = 0;
        ui::MessagePopup("Wystąpił błąd", "Nie można odczytać grafiki ekranu ustawienia gęstości gazu ze zbioru");
        // The screen never opened: polling must not stay stopped.
        UstawOdpytywanieEkrGl(1);
        return 0;
    }

    ObsEkrUstGest_OdczytajUstawieniaEkrUstGest();
    ui::InstallPopup(PanelUstGest);
    return 0;
}

int ObsEkrUstGest_OdczytajUstawieniaEkrUstGest() {
    if (PanelUstGest < 1) return -1;
    double density = 0.0;
    const int result = korvi70::WithAttempts([&] { return VGX52_PodWartFloat(0, 'E', &density); });
    if (result != 0)
        ui::MessagePopup("Wystąpił błąd", "Odczyt z przyrządu wartości gęstości gazu suchego niepoprawny");
    else
        ui::SetCtrlVal(PanelUstGest, PANEL_UG_GESTOSC, density);
    return result;
}

int ObsEkrUstGest_WpiszGestPowietrza(int, int, int event, void *, int, int) {
    if (event != ui::EVENT_COMMIT || PanelUstGest < 1) return 0;
    ui::SetCtrlVal(PanelUstGest, PANEL_UG_GESTOSC, app::kAirDensity);
    const int result = korvi70::WithAttempts([] { return VGX52_ZapWartFloat(0, 'a', app::kAirGasConstant); });
    // The display keeps the air density either way.
    if (result != 0) ui::MessagePopup("Wystąpił błąd.", "Zapis do przyrządu niepoprawny.");
    return 0;
}

int ObsEkrUstGest_KalkGest(int, int, int event, void *, int, int) {
    if (event != ui::EVENT_COMMIT) return 0;
    app::OpenCalculator();
    return 0;
}

int ObsEkrUstGest_Powrot(int, int, int event, void *, int, int) {
    if (event != ui::EVENT_COMMIT) return 0;
    ui::RemovePopup(0);
    UstawOdpytywanieEkrGl(1);
    // The next opening loads a fresh panel, so this one is not kept.
    if (PanelUstGest > 0) ui::DiscardPanel(PanelUstGest);
    PanelUstGest = 0;
    return 0;
}
