// Choosing the serial port of the link among COM1..COM4.
#include <cstdio>
#include <cstdlib>
#include <iterator>

#include "korvi70/config.h"
#include "korvi70/dialogs.h"
#include "korvi70/link.h"
#include "korvi70/result_codes.h"
#include "platform/serial_ports.h"
#include "ui/Korvi70G.h"
#include "ui/ui.h"

namespace {

struct PortControls {
    int radio;
    int state;
};
constexpr PortControls kPorts[] = {{PANEL_WYBZL_COM1, PANEL_WYBZL_STAN1},
                                   {PANEL_WYBZL_COM2, PANEL_WYBZL_STAN2},
                                   {PANEL_WYBZL_COM3, PANEL_WYBZL_STAN3},
                                   {PANEL_WYBZL_COM4, PANEL_WYBZL_STAN4}};
constexpr int kPortCount = static_cast<int>(std::size(kPorts));

// Shows the port's state; false for a port that is absent.
bool ShowState(int panel, const PortControls &port, platform::PortState state) {
    const char *text = "wolny";
    int colour = ui::VAL_GREEN;
    if (state == platform::PortState::Absent) {
        text = "niedostępny";
        colour = ui::VAL_BLUE;
    } else if (state == platform::PortState::InUse || state == platform::PortState::NoPermission) {
        // Held by another program, or this user may not open it: either way it cannot be had now.
        // A Bluetooth link left unopened shows as free: only an open, which calls out, would tell.
        text = "zajęty";
        colour = ui::VAL_RED;
    }
    ui::SetCtrlVal(panel, port.state, text);
    ui::SetCtrlAttribute(panel, port.state, ui::ATTR_TEXT_COLOR, colour);
    ui::SetCtrlAttribute(panel, port.radio, ui::ATTR_DIMMED, state == platform::PortState::Absent ? 1 : 0);
    return state != platform::PortState::Absent;
}

void Select(int panel, int port) {
    for (int i = 0; i < kPortCount; ++i) ui::SetCtrlVal(panel, kPorts[i].radio, i + 1 == port ? 1 : 0);
}

}  // namespace

int Korvi70_WybNrZl() {
    const int panel = ui::LoadPanel(0, Korvi70_NazwaZbioruZGrafika, PANEL_WYBZL);
    if (panel <= 0) {
        std::fprintf(stderr, "%s\n", ui::GetLastResourceError().c_str());
        std::exit(korvi70::kPanelNotLoaded);
    }
    // Filled in before it shows, so the operator never sees it half done.
    bool present[kPortCount];
    for (int i = 0; i < kPortCount; ++i) {
        const platform::SerialDevice device = platform::ComPortDevice(i + 1);
        present[i] = ShowState(panel, kPorts[i], platform::ProbeSerialDevice(device).state);
    }
    int selection = 0;
    if (Korvi70_NrZlacza >= 1 && Korvi70_NrZlacza <= kPortCount && present[Korvi70_NrZlacza - 1])
        selection = Korvi70_NrZlacza;
    Select(panel, selection);
    ui::InstallPopup(panel);

    int result = korvi70::kCancelled;
    for (;;) {
        int from = 0, control = 0;
        // Nothing more comes when the program's event loop is ending.
        if (ui::GetUserEvent(1, &from, &control) != ui::EVENT_COMMIT) break;
        if (from != panel) continue;
        if (control == PANEL_WYBZL_ANULUJ) break;
        if (control == PANEL_WYBZL_AKCEPTUJ) {
            if (selection != 0) {
                Korvi70_NrZlacza = selection;
                result = korvi70::kDone;
                break;
            }
            ui::MessagePopup("wiadomość", "musisz coś wybrać");
            continue;
        }
        for (int i = 0; i < kPortCount; ++i)
            if (control == kPorts[i].radio) selection = i + 1;
        Select(panel, selection);
    }
    ui::RemovePopup(0);
    ui::DiscardPanel(panel);
    return result;
}
