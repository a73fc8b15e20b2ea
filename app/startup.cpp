#include "app/startup.h"

#include "app/app_state.h"
#include "app/association.h"
#include "app/command_line.h"
#include "app/config_file.h"
#include "app/constants.h"
#include "app/main_screen.h"
#include "app/port_select.h"
#include "app/work_folder.h"
#include "korvi70/config.h"
#include "korvi70/link.h"
#include "platform/utf8.h"
#include "toolvane/folders.h"
#include "toolvane/system_info.h"
#include "ui/ui.h"

namespace {

// A start-up step failed after the main panel was shown.
int EndStartup(int exitCode) {
    WycofajGrafikeEkrGl();
    return exitCode;
}

}  // namespace

int Vgx52_Main(int argc, char **argv) {
    platform::CopyText(argc > 0 && argv && argv[0] ? argv[0] : "", Toolvane_NazwaProgramu,
                       sizeof Toolvane_NazwaProgramu);
    const app::CommandLine commandLine = app::ScanCommandLine(argc, argv);

    if (Toolvane_ZbierzInfoOSystemie(app::kModelName) != 0) return 1;
    if (commandLine.associate) return Fun_WriteAssociation();
    app::SettleWorkFolder(Toolvane_KatalogProgramu);

    OdczytanieZbioruKonfiguracyjnego(Toolvane_ZbiorKonfig);
    InicjujZmienne();
    app::RegisterCallbacks();
    if (WyswietlGrafikeEkrGl(Toolvane_ZbiorUir) != 0) return 1;

    Korvi70_OdczytajZbiorKonfig();
    app::ForceDirectSerialLink();
    if (commandLine.portGiven) {
        Korvi70_NrZlacza = commandLine.port;
    } else if (OkreslKonfiguracjeKorvi70(Toolvane_ZbiorUir) != 0) {
        return EndStartup(1);
    }

    if (Korvi70_IniZlacze(0) != 0) {
        // A port opened before a later step failed must not stay held.
        Korvi70_ZamZlacze();
        ui::MessagePopup("Error ocures", "Error in initialization of Korvi70 connection.");
        return EndStartup(1);
    }

    UstawOdpytywanieEkrGl(1);
    // Without windows nobody can operate the main screen: that is a failure
    // to start, not a session the operator ended.
    const bool noOperator = ui::RunUserInterface() == ui::UIE_NO_OPERATOR;

    // The loop ended without the quit command (the screenshot switch ends
    // it, or there is no operator): release the link and the panel, but keep
    // the configuration file as it was. The window's close button runs the
    // quit command itself.
    if (PanelEkrGl != 0) {
        ui::SuspendTimerCallbacks();
        UstawOdpytywanieEkrGl(0);
        Korvi70_ZamZlacze();
        WycofajGrafikeEkrGl();
    }
    return noOperator ? 1 : 0;
}

int ObsEkrGl_Koniec(int, int, int event, void *, int, int) {
    if (event != ui::EVENT_COMMIT) return 0;
    ui::SuspendTimerCallbacks();
    UstawOdpytywanieEkrGl(0);
    Korvi70_ZamZlacze();
    WycofajGrafikeEkrGl();
    ui::QuitUserInterface(0);
    app::SaveConfigAtExit(Toolvane_ZbiorKonfig);
    return 0;
}
