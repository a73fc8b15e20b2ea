// The gas density calculator: a modal popup over the density setting screen
// that computes the specific gas constant and the normal density of a gas
// from its composition (fifteen components, percent by volume), and on
// accept writes the gas constant to the instrument (real value "a") and
// shows the density on the density setting screen.
#pragma once

// Handle of the calculator panel, 0 while it is not loaded.
extern int PanelKalGest;

// Commit callbacks; each returns 0. ObsEkrKlaGest_Stez is the callback of
// every concentration field: it recalculates sum, gas constant and density.
int ObsEkrKlaGest_Stez(int panel, int control, int event, void *callbackData, int eventData1, int eventData2);
int ObsEkrKalGest_WypelStezDlaCzystPow(int panel, int control, int event, void *callbackData, int eventData1,
                                       int eventData2);
int ObsEkrKalGest_WyzerujUdzialy(int panel, int control, int event, void *callbackData, int eventData1, int eventData2);
int ObsEkrKalGest_Akceptacja(int panel, int control, int event, void *callbackData, int eventData1, int eventData2);
int ObsEkrKalGest_Powrot(int panel, int control, int event, void *callbackData, int eventData1, int eventData2);

// Operations on the loaded calculator panel; 0, or -1 when it is not loaded.
// Sum field := the fifteen concentrations added in table order.
int ObsEkrKalGest_SumujStezenia();
// Gas constant field := 831414 / Σ ci·Mi; 0 when that sum is not positive.
int ObsEkrKalGest_PoliczStalaGazowa();
// Density field := 101324.9 / (R × 273.15) from the gas constant field; 0 when R is 0.
int ObsEkrKalGest_PoliczGestosc();
// The calculator reads nothing from the instrument when it opens.
int ObsEkrKalGest_OdczytajUstawieniaEkrKalGest();

namespace app {

// Control numbers of the fifteen concentration fields, in table order.
extern const int kConcentrationControls[15];

// Loads a fresh calculator panel and shows it as a modal popup: 0, or -1
// after a message when the panel cannot be loaded.
int OpenCalculator();
void RegisterCalculatorCallbacks();

}  // namespace app
