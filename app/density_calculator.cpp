#include "app/density_calculator.h"

#include <cmath>

#include "app/density_screen.h"
#include "app/gas_mixture.h"
#include "korvi70/attempts.h"
#include "toolvane/folders.h"
#include "ui/VGX52_G.h"
#include "ui/ui.h"
#include "vgx52/registers.h"

int PanelKalGest = 0;

namespace app {

const int kConcentrationControls[gas::kComponents] = {
    PANEL_KG_AZOT,    PANEL_KG_TLEN,  PANEL_KG_ARGON, PANEL_KG_CO2,   PANEL_KG_NEON,
    PANEL_KG_HEL,     PANEL_KG_METAN, PANEL_KG_SO2,   PANEL_KG_WODOR, PANEL_KG_SLADOWE,
    PANEL_KG_AMONIAK, PANEL_KG_NO,    PANEL_KG_NO2,   PANEL_KG_CHLOR, PANEL_KG_CO,
};

namespace {

double ReadReal(int control) {
    double value = 0.0;
    if (ui::GetCtrlVal(PanelKalGest, control, &value) < 0) return 0.0;
    return value;
}

// A display never shows an infinity or a NaN: such a result shows as 0.
void ShowReal(int control, double value) { ui::SetCtrlVal(PanelKalGest, control, std::isfinite(value) ? value : 0.0); }

gas::Composition ReadComposition() {
    gas::Composition c{};
    for (int i = 0; i < gas::kComponents; ++i) c[i] = ReadReal(kConcentrationControls[i]);
    return c;
}

void Recalculate() {
    ObsEkrKalGest_SumujStezenia();
    ObsEkrKalGest_PoliczStalaGazowa();
    ObsEkrKalGest_PoliczGestosc();
}

}  // namespace

int OpenCalculator() {
    // Loaded anew at every opening, with the values of the resource file.
    if (PanelKalGest > 0) ui::DiscardPanel(PanelKalGest);
    PanelKalGest = ui::LoadPanel(0, Toolvane_ZbiorUir, PANEL_KG);
    if (PanelKalGest < 1) {
        PanelKalGest = 0;
        ui::MessagePopup("Wystąpił błąd", "Nie można odczytać grafiki kalkulatora gęstości gazu ze zbioru");
        return -1;
    }
    ObsEkrKalGest_OdczytajUstawieniaEkrKalGest();
    ui::InstallPopup(PanelKalGest);
    return 0;
}

void RegisterCalculatorCallbacks() {
    ui::RegisterCallback("ObsEkrKlaGest_Stez", ObsEkrKlaGest_Stez);
    ui::RegisterCallback("ObsEkrKalGest_WypelStezDlaCzystPow", ObsEkrKalGest_WypelStezDlaCzystPow);
    ui::RegisterCallback("ObsEkrKalGest_WyzerujUdzialy", ObsEkrKalGest_WyzerujUdzialy);
    ui::RegisterCallback("ObsEkrKalGest_Akceptacja", ObsEkrKalGest_Akceptacja);
    ui::RegisterCallback("ObsEkrKalGest_Powrot", ObsEkrKalGest_Powrot);
}

}  // namespace app

int ObsEkrKalGest_SumujStezenia() {
    if (PanelKalGest < 1) return -1;
    app::ShowReal(PANEL_KG_SUMA, app::gas::Sum(app::ReadComposition()));
    return 0;
}

int ObsEkrKalGest_PoliczStalaGazowa() {
    if (PanelKalGest < 1) return -1;
    app::ShowReal(PANEL_KG_STALA, app::gas::GasConstant(app::ReadComposition()));
    return 0;
}

int ObsEkrKalGest_PoliczGestosc() {
    if (PanelKalGest < 1) return -1;
    app::ShowReal(PANEL_KG_GESTOSC, app::gas::Density(app::ReadReal(PANEL_KG_STALA)));
    return 0;
}

int ObsEkrKalGest_OdczytajUstawieniaEkrKalGest() { return PanelKalGest < 1 ? -1 : 0; }

int ObsEkrKlaGest_Stez(int, int, int event, void *, int, int) {
    if (event != ui::EVENT_COMMIT || PanelKalGest < 1) return 0;
    app::Recalculate();
    return 0;
}

int ObsEkrKalGest_WypelStezDlaCzystPow(int, int, int event, void *, int, int) {
    if (event != ui::EVENT_COMMIT || PanelKalGest < 1) return 0;
    app::gas::Composition c = app::ReadComposition();
    app::gas::FillWithAir(c, app::ReadReal(PANEL_KG_SUMA));
    for (int i = 0; i < app::gas::kAirComponents; ++i) app::ShowReal(app::kConcentrationControls[i], c[i]);
    app::Recalculate();
    return 0;
}

int ObsEkrKalGest_WyzerujUdzialy(int, int, int event, void *, int, int) {
    if (event != ui::EVENT_COMMIT || PanelKalGest < 1) return 0;
    for (int control : app::kConcentrationControls) ui::SetCtrlVal(PanelKalGest, control, 0.0);
    for (int control : {PANEL_KG_SUMA, PANEL_KG_STALA, PANEL_KG_GESTOSC}) ui::SetCtrlVal(PanelKalGest, control, 0.0);
    return 0;
}

int ObsEkrKalGest_Akceptacja(int, int, int event, void *, int, int) {
    if (event != ui::EVENT_COMMIT || PanelKalGest < 1) return 0;
    const double gasConstant = app::ReadReal(PANEL_KG_STALA);
    // A composition without a gas constant (all zero, say) shows 0 there;
    // the instrument must never be set to 0, so such a write is refused.
    int result = 1;
    if (std::isfinite(gasConstant) && gasConstant > 0.0)
        result = korvi70::WithAttempts([&] { return VGX52_ZapWartFloat(0, 'a', gasConstant); });
    if (result != 0) {
        ui::MessagePopup("Wystąpił błąd.", "Zapis do przyrządu niepoprawny.");
        return 0;
    }
    if (PanelUstGest > 0) ui::SetCtrlVal(PanelUstGest, PANEL_UG_GESTOSC, app::ReadReal(PANEL_KG_GESTOSC));
    return 0;
}

int ObsEkrKalGest_Powrot(int, int, int event, void *, int, int) {
    if (event != ui::EVENT_COMMIT) return 0;
    ui::RemovePopup(0);
    // Nothing is kept between openings.
    if (PanelKalGest > 0) ui::DiscardPanel(PanelKalGest);
    PanelKalGest = 0;
    return 0;
}
