#include "app/poller.h"

#include "app/app_state.h"
#include "app/constants.h"
#include "app/screens.h"
#include "korvi70/identify.h"
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
    korvi70::Identity identity;
    if (korvi70::IdentifyInstrument(kDestination, &identity) != korvi70::kDone) {
        ShowStatus(mainPanel, ui::VAL_DK_RED, kStatusNoAnswer);
        ui::SetCtrlVal(mainPanel, PANEL_GL_NAZWA, "");
        OfferInstrumentCommand(mainPanel, false);
        return;
    }
    ui::SetCtrlVal(mainPanel, PANEL_GL_NAZWA, identity.name);

    const bool vgx52 = IsVgx52TypeCode(identity.typeCode);
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
