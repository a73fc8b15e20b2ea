#include "program_screens.h"

#include <stdlib.h>
#ifdef _WIN32
#include <process.h>
#define getpid _getpid
#else
#include <unistd.h>
#endif

#include <cstdio>
#include <filesystem>

#include "app/app_state.h"
#include "app/density_calculator.h"
#include "app/density_screen.h"
#include "app/main_screen.h"
#include "app/screens.h"
#include "korvi70/config.h"
#include "korvi70/link.h"
#include "korvi70/modem/modem.h"
#include "platform/com.h"
#include "toolvane/folders.h"
#include "ui/VGX52_G.h"
#include "ui/ui.h"

namespace fs = std::filesystem;

namespace screens {

void ProgramScreens::SetUp() {
    root_ = (fs::temp_directory_path() / ("vgx52-screens-" + std::to_string(getpid()))).string();
    fs::remove_all(root_);
    fs::create_directories(root_);
    setenv("VGX52_ROOT", root_.c_str(), 1);

    InstallBackend();
    ui::ResumeTimerCallbacks();
    InicjujZmienne();
    PanelUstGest = PanelKalGest = 0;
    OkresOdpytywania = 1.0;
    std::snprintf(Toolvane_ZbiorUir, sizeof Toolvane_ZbiorUir, "%s", VGX52_RESOURCE_FILE);
    ASSERT_TRUE(fs::exists(Toolvane_ZbiorUir)) << "a missing panel file would wait on its message";
    Korvi70_TypLacza = 0;
    Korvi70_NrZlacza = kPort;
    Korvi70_NrIdProg = 0x71;
    Korvi70_CzasOczekiwaniaRS = 0.05;
    Korvi70_JestEcho = 0;
    platform::AttachComDevice(kPort, &device_);
    ASSERT_EQ(Korvi70_IniZlacze(0), 0);
    ASSERT_EQ(WyswietlGrafikeEkrGl(Toolvane_ZbiorUir), 0);
}

void ProgramScreens::TearDown() {
    StopKorvi70Panels();
    InstallBackend();
    PanelUstGest = PanelKalGest = 0;
    InicjujZmienne();
    Korvi70_ZamZlacze();
    platform::AttachComDevice(kPort, nullptr);
    unsetenv("VGX52_ROOT");
    fs::remove_all(root_);
}

void ProgramScreens::Poll() {
    ObsEkrGl_OdpytywaczMain(PanelEkrGl, PANEL_GL_TIMER, ui::EVENT_TIMER_TICK, nullptr, 0, 0);
}

void ProgramScreens::UseKorvi70Panels(const char *resourceFile) {
    std::snprintf(Korvi70_NazwaZbioruZGrafika, sizeof Korvi70_NazwaZbioruZGrafika, "%s", resourceFile);
    fs::copy_file(resourceFile, root_ + "/Korvi70G.Uir");
    ui::SetProjectFolder(root_.c_str());
    inRoot_ = std::make_unique<testdrive::InFolder>(root_);
}

void ProgramScreens::StopKorvi70Panels() {
    inRoot_.reset();
    ui::SetProjectFolder(nullptr);
}

void ProgramScreens::AttachModem() {
    sim::ModemSettings settings;
    settings.dialDelay = 2.5;
    modem_ = std::make_unique<sim::ModemComDevice>(instrument_, settings);
    Korvi70_ZamZlacze();
    platform::AttachComDevice(kModemPort, modem_.get());
    Korvi70_NrZlacza = kModemPort;
    ASSERT_EQ(Korvi70_IniZlacze(0), 0);
    Korvi70_EchoModemu = 1;
}

void ProgramScreens::DetachModem() {
    Korvi70_ZamZlacze();
    platform::AttachComDevice(kModemPort, nullptr);
    modem_.reset();
    Korvi70_NrZlacza = kPort;
    Korvi70_IniZlacze(0);
}

std::string HexFile(int pages) {
    std::string out;
    char line[64];
    for (int address = 0; address < pages * 256; address += 16) {
        unsigned sum = 16 + (address >> 8) + (address & 0xFF);
        std::snprintf(line, sizeof line, ":10%04X00", address);
        out += line;
        for (int i = 0; i < 16; ++i) {
            const unsigned byte = (address + i) & 0xFF;
            sum += byte;
            std::snprintf(line, sizeof line, "%02X", byte);
            out += line;
        }
        std::snprintf(line, sizeof line, "%02X\r\n", (0x100 - (sum & 0xFF)) & 0xFF);
        out += line;
    }
    return out + ":00000001FF\r\n";
}

}  // namespace screens
