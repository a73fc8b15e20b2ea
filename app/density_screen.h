// The gas density setting screen: a modal popup over the main screen that
// shows the dry-gas density the instrument works with (its real value "E")
// and sets the gas, either dry air in one step or through the calculator.
// The main screen's polling timer is stopped while it is open, so the
// screen and the calculator have the link to themselves.
// Opened by ObsEkrGl_UstGestGazu (app/screens.h).
#pragma once

// Handle of the density setting panel, 0 while it is not loaded. The
// calculator writes its accepted density into this panel.
extern int PanelUstGest;

// Commit callbacks of the screen's commands; each returns 0.
int ObsEkrUstGest_WpiszGestPowietrza(int panel, int control, int event, void *callbackData, int eventData1,
                                     int eventData2);
int ObsEkrUstGest_KalkGest(int panel, int control, int event, void *callbackData, int eventData1, int eventData2);
int ObsEkrUstGest_Powrot(int panel, int control, int event, void *callbackData, int eventData1, int eventData2);

// Reads the instrument's "E" into the density display; a failed read shows
// its message and leaves the display as it was. Returns the read's final
// result (0 done; -1 when the screen is not loaded).
int ObsEkrUstGest_OdczytajUstawieniaEkrUstGest();

namespace app {

// Dry air: the gas constant written by the air command (J/(kg·K)) and the
// density it gives, 101324.9 / (287.055 × 273.15) kg/m³.
inline constexpr double kAirGasConstant = 287.055;
inline constexpr double kAirDensity = 1.2922598852422986;

// Binds the callback names of the density setting and calculator panels.
void RegisterDensityCallbacks();

}  // namespace app
