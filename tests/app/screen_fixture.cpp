#include "screen_fixture.h"

#include <cstdio>

#include "app/app_state.h"
#include "app/density_calculator.h"
#include "app/density_screen.h"
#include "app/main_screen.h"
#include "app/screens.h"
#include "korvi70/config.h"
#include "korvi70/link.h"
#include "test_env.h"
#include "toolvane/folders.h"
#include "ui/VGX52_G.h"
#include "ui/headless.h"
#include "ui/ui.h"

namespace apptest {

void ScriptedLine::Write(const unsigned char *data, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        const unsigned char b = data[i];
        written.push_back(static_cast<char>(b));
        // Hex frames: 0x00 ends the lead-in, 0x01 ends the request; the
        // command is the fourth byte of the header (characters 6 and 7).
        if (b == 0x00) {
            frame_.clear();
            inFrame_ = true;
        } else if (b == 0x01 && inFrame_) {
            inFrame_ = false;
            unsigned command = 0;
            if (frame_.size() < 8 || std::sscanf(frame_.substr(6, 2).c_str(), "%2x", &command) != 1) command = 0;
            commands.push_back(static_cast<int>(command));
            // The script owns the silence switch only while it is set.
            const bool silent = silence && silence(static_cast<int>(commands.size()), static_cast<int>(command));
            if (silence || scripted_) inner_.Device().Faults().silent = silent;
            scripted_ = silent;
        } else if (inFrame_) {
            frame_.push_back(static_cast<char>(b));
        }
        inner_.Write(&b, 1);
    }
}

int ScriptedLine::Count(int command) const {
    int n = 0;
    for (int c : commands) n += c == command;
    return n;
}

void ScreenTest::SetUp() {
    ui::headless::Install();
    ui::ResumeTimerCallbacks();
    InicjujZmienne();
    PanelUstGest = PanelKalGest = 0;
    OkresOdpytywania = 1.0;
    std::snprintf(Toolvane_ZbiorUir, sizeof Toolvane_ZbiorUir, "%s", SourceResourceFile().c_str());

    Korvi70_TypLacza = 0;
    Korvi70_NrZlacza = kPort;
    Korvi70_NrIdProg = 0x71;
    Korvi70_CzasOczekiwaniaRS = 0.05;  // each silent attempt costs this much
    Korvi70_JestEcho = 0;
    platform::AttachComDevice(kPort, &line);
    ASSERT_EQ(Korvi70_IniZlacze(0), 0);
    ASSERT_EQ(WyswietlGrafikeEkrGl(Toolvane_ZbiorUir), 0);
    line.Forget();
}

void ScreenTest::TearDown() {
    EXPECT_TRUE(ui::headless::Failures().empty()) << ui::headless::Failures().front();
    ui::headless::Install();  // discards every panel
    PanelUstGest = PanelKalGest = 0;
    InicjujZmienne();
    Korvi70_ZamZlacze();
    platform::AttachComDevice(kPort, nullptr);
}

void ScreenTest::Tick() { ObsEkrGl_OdpytywaczMain(PanelEkrGl, PANEL_GL_TIMER, ui::EVENT_TIMER_TICK, nullptr, 0, 0); }

std::string ScreenTest::Status() {
    std::string text;
    EXPECT_EQ(ui::GetCtrlVal(PanelEkrGl, PANEL_GL_STATUS, &text), 0);
    return text;
}

int ScreenTest::StatusColour() { return Attribute(PanelEkrGl, PANEL_GL_STATUS, ui::ATTR_TEXT_COLOR); }

std::string ScreenTest::Name() {
    std::string text;
    EXPECT_EQ(ui::GetCtrlVal(PanelEkrGl, PANEL_GL_NAZWA, &text), 0);
    return text;
}

int ScreenTest::Attribute(int panel, int control, int attribute) {
    int value = -1;
    EXPECT_EQ(ui::GetCtrlAttribute(panel, control, attribute, &value), 0);
    return value;
}

double ScreenTest::Value(int panel, int control) {
    double value = -1;
    EXPECT_EQ(ui::GetCtrlVal(panel, control, &value), 0) << panel << "/" << control;
    return value;
}

bool ScreenTest::TimerEnabled() { return Attribute(PanelEkrGl, PANEL_GL_TIMER, ui::ATTR_ENABLED) == 1; }

std::vector<std::string> ScreenTest::Messages() {
    std::vector<std::string> out;
    for (const auto &p : ui::headless::Popups()) out.push_back(p.request.title + "|" + p.request.message);
    return out;
}

}  // namespace apptest
