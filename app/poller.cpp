#include "app/poller.h"

#include "app/app_state.h"
#include "app/constants.h"
#include "app/screens.h"
#include "korvi70/attempts.h"
#include "korvi70/generic_commands.h"
#include "korvi70/loader_commands.h"
#include "korvi70/model_names.h"
#include "ui/VGX52_G.h"
#include "ui/ui.h"

namespace app {
namespace {

// Every instrument call of the program goes to ID 0.
constexpr unsigned char kDestination = 0;

// The colour goes first, so the text never shows in the previous state's colour.
void ShowStatus(int panel, int colour, const char *status) {
    ui::SetCtrlAttribute(panel, PANEL_GL_STATUS, ui::ATTR_TEXT_COLOR, colour);
    ui::SetCtrlVal(panel, PANEL_GL_STATUS, status);
}

// The density setting needs the instrument: it is offered only while a VGX52 answers.
void OfferInstrumentCommand(int panel, bool operable) {
    if (operable) {
        ui::SetCtrlAttribute(panel, PANEL_GL_USTGEST, ui::ATTR_CTRL_MODE, ui::VAL_HOT);
        ui::SetCtrlAttribute(panel, PANEL_GL_USTGEST, ui::ATTR_DIMMED, 0);
    } else {
        ui::SetCtrlAttribute(panel, PANEL_GL_USTGEST, ui::ATTR_CTRL_MODE, ui::VAL_INDICATOR);
        ui::SetCtrlAttribute(panel, PANEL_GL_USTGEST, ui::ATTR_DIMMED, 1);
    }
}

}  // namespace

bool IsVgx52TypeCode(int typeCode) { return (typeCode & ~7) == kInstrumentTypeCode; }

void PollInstrument(int mainPanel) {
    int typeCode = 0;
    const int identified = korvi70::WithAttempts([&] { return Korvi70_PrzedstawSie(kDestination, &typeCode); });
    if (identified != 0) {
        ShowStatus(mainPanel, ui::VAL_DK_RED, kStatusNoAnswer);
        ui::SetCtrlVal(mainPanel, PANEL_GL_NAZWA, "");
        OfferInstrumentCommand(mainPanel, false);
        return;
    }

    int softwareVersion = 0;
    const int versionRead =
        korvi70::WithAttempts([&] { return Korvi70_PodWerOprogWewn(kDestination, &softwareVersion); });
    // A failed read leaves the version out of the name rather than showing
    // whatever part of it arrived.
    if (versionRead != 0) softwareVersion = 0;

    char name[Korvi70_RozmiarNazwyPrzyrzadu] = {};
    Korvi70_RozszerzNazwePrzyrzadu(typeCode, name, softwareVersion);
    ui::SetCtrlVal(mainPanel, PANEL_GL_NAZWA, name);

    const bool vgx52 = IsVgx52TypeCode(typeCode);
    if (vgx52)
        ShowStatus(mainPanel, ui::VAL_DK_GREEN, kStatusVgx52);
    else
        ShowStatus(mainPanel, ui::VAL_DK_BLUE, kStatusOther);
    OfferInstrumentCommand(mainPanel, vgx52);
}

}  // namespace app

int ObsEkrGl_OdpytywaczMain(int, int, int event, void *, int, int) {
    if (event != ui::EVENT_TIMER_TICK || PanelEkrGl < 1) return 0;
    app::PollInstrument(PanelEkrGl);
    return 0;
}
