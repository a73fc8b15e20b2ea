#include "app/main_screen.h"

#include <string>

#include "app/app_state.h"
#include "app/constants.h"
#include "app/density_screen.h"
#include "app/screens.h"
#include "app/startup.h"
#include "ui/VGX52_G.h"
#include "ui/ui.h"

namespace app {

void RegisterCallbacks() {
    ui::RegisterCallback("ObsEkrGl_OdpytywaczMain", ObsEkrGl_OdpytywaczMain);
    ui::RegisterCallback("ObsEkrGl_UstGestGazu", ObsEkrGl_UstGestGazu);
    ui::RegisterCallback("ObsEkrGl_Upgrade", ObsEkrGl_Upgrade);
    ui::RegisterCallback("ObsEkrGl_Koniec", ObsEkrGl_Koniec);
    RegisterDensityCallbacks();
}

const char *MainTitle() {
    static const std::string title = std::string(kProgramLabel) + "  " + kProgramVersion;
    return title.c_str();
}

}  // namespace app

int WyswietlGrafikeEkrGl(const char *resourcePath) {
    app::RegisterCallbacks();
    PanelEkrGl = ui::LoadPanel(0, resourcePath ? resourcePath : "", PANEL_GL);
    if (PanelEkrGl < 1) {
        PanelEkrGl = 0;
        ui::MessagePopup("Wystąpił błąd", "Nie można odczytać grafiki głównego ekranu ze zbioru");
        return -1;
    }
    UaktualnijNastawyEkrGl();
    ui::DisplayPanel(PanelEkrGl);
    return 0;
}

void UaktualnijNastawyEkrGl() {
    if (PanelEkrGl < 1) return;
    ui::SetPanelAttribute(PanelEkrGl, ui::ATTR_TITLE, app::MainTitle());
    ui::SetCtrlAttribute(PanelEkrGl, PANEL_GL_TIMER, ui::ATTR_INTERVAL, OkresOdpytywania);
    ui::SetCtrlAttribute(PanelEkrGl, PANEL_GL_TIMER, ui::ATTR_ENABLED, 0);
}

void WycofajGrafikeEkrGl() {
    if (PanelEkrGl < 1) return;
    ui::DiscardPanel(PanelEkrGl);
    PanelEkrGl = 0;
}

void UstawOdpytywanieEkrGl(int enabled) {
    if (PanelEkrGl < 1) return;
    ui::SetCtrlAttribute(PanelEkrGl, PANEL_GL_TIMER, ui::ATTR_ENABLED, enabled ? 1 : 0);
}
