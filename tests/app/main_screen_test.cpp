#include <gtest/gtest.h>

#include <string>

#include "app/app_state.h"
#include "app/main_screen.h"
#include "app/screens.h"
#include "app/startup.h"
#include "test_env.h"
#include "ui/VGX52_G.h"
#include "ui/headless.h"
#include "ui/ui.h"

namespace {

const char kTitle[] = "User Program for Gas Parameter Measurement Device, model VGX52  1.01";

int g_ticks = 0;
int CountTicks(int, int, int event, void *, int, int) {
    if (event == ui::EVENT_TIMER_TICK) ++g_ticks;
    return 0;
}

class AppMainScreen : public ::testing::Test {
protected:
    void SetUp() override {
        ui::headless::Install();
        ui::ResumeTimerCallbacks();
        InicjujZmienne();
        OkresOdpytywania = 1.0;
    }
    void TearDown() override { WycofajGrafikeEkrGl(); }
    std::string Resource() { return apptest::SourceResourceFile(); }
    int TimerEnabled() {
        int enabled = -1;
        EXPECT_EQ(ui::GetCtrlAttribute(PanelEkrGl, PANEL_GL_TIMER, ui::ATTR_ENABLED, &enabled), 0);
        return enabled;
    }
    double TimerInterval() {
        double interval = -1;
        EXPECT_EQ(ui::GetCtrlAttribute(PanelEkrGl, PANEL_GL_TIMER, ui::ATTR_INTERVAL, &interval), 0);
        return interval;
    }
};

TEST_F(AppMainScreen, LoadsWithTitleTimerAndInitialState) {
    OkresOdpytywania = 0.35;
    ASSERT_EQ(WyswietlGrafikeEkrGl(Resource().c_str()), 0);
    ASSERT_GT(PanelEkrGl, 0);
    std::string title;
    ASSERT_EQ(ui::GetPanelAttribute(PanelEkrGl, ui::ATTR_TITLE, &title), 0);
    EXPECT_EQ(title, kTitle);
    EXPECT_EQ(TimerInterval(), 0.35);
    EXPECT_EQ(TimerEnabled(), 0);

    std::string status;
    ASSERT_EQ(ui::GetCtrlVal(PanelEkrGl, PANEL_GL_STATUS, &status), 0);
    EXPECT_EQ(status, "Brak połączenia");
    int color = 0;
    ASSERT_EQ(ui::GetCtrlAttribute(PanelEkrGl, PANEL_GL_STATUS, ui::ATTR_TEXT_COLOR, &color), 0);
    EXPECT_EQ(color, ui::VAL_DK_RED);
    // The instrument command waits for a VGX52 to answer.
    int dimmed = 0;
    ASSERT_EQ(ui::GetCtrlAttribute(PanelEkrGl, PANEL_GL_USTGEST, ui::ATTR_DIMMED, &dimmed), 0);
    EXPECT_EQ(dimmed, 1);
    EXPECT_TRUE(ui::headless::Popups().empty());
}

TEST_F(AppMainScreen, ControlsNameTheirCallbacks) {
    ASSERT_EQ(WyswietlGrafikeEkrGl(Resource().c_str()), 0);
    const std::pair<int, const char *> bound[] = {
        {PANEL_GL_TIMER, "ObsEkrGl_OdpytywaczMain"},
        {PANEL_GL_USTGEST, "ObsEkrGl_UstGestGazu"},
        {PANEL_GL_UPGRADE, "ObsEkrGl_Upgrade"},
        {PANEL_GL_KONIEC, "ObsEkrGl_Koniec"},
    };
    for (auto [control, name] : bound) {
        std::string callback;
        ASSERT_EQ(ui::GetCtrlAttribute(PanelEkrGl, control, ui::ATTR_CALLBACK_NAME, &callback), 0);
        EXPECT_EQ(callback, name);
        EXPECT_NE(ui::FindCallback(name), nullptr) << name;
    }
    EXPECT_EQ(ui::FindCallback("ObsEkrGl_Koniec"), &ObsEkrGl_Koniec);
    EXPECT_EQ(ui::FindCallback("ObsEkrGl_OdpytywaczMain"), &ObsEkrGl_OdpytywaczMain);
}

TEST_F(AppMainScreen, UpdateSetsIntervalAndDisablesTheTimer) {
    ASSERT_EQ(WyswietlGrafikeEkrGl(Resource().c_str()), 0);
    UstawOdpytywanieEkrGl(1);
    EXPECT_EQ(TimerEnabled(), 1);
    ui::SetPanelAttribute(PanelEkrGl, ui::ATTR_TITLE, "other");
    OkresOdpytywania = 50.0;
    UaktualnijNastawyEkrGl();
    EXPECT_EQ(TimerEnabled(), 0);
    EXPECT_EQ(TimerInterval(), 50.0);
    std::string title;
    ui::GetPanelAttribute(PanelEkrGl, ui::ATTR_TITLE, &title);
    EXPECT_EQ(title, kTitle);
}

TEST_F(AppMainScreen, TimerTicksAtThePollingPeriodOnlyWhileEnabled) {
    OkresOdpytywania = 0.2;
    ASSERT_EQ(WyswietlGrafikeEkrGl(Resource().c_str()), 0);
    ui::RegisterCallback("ObsEkrGl_OdpytywaczMain", CountTicks);
    g_ticks = 0;
    ui::headless::AdvanceTime(1.0);
    EXPECT_EQ(g_ticks, 0);
    UstawOdpytywanieEkrGl(1);
    ui::headless::AdvanceTime(1.01);
    EXPECT_EQ(g_ticks, 5);
    UstawOdpytywanieEkrGl(0);
    ui::headless::AdvanceTime(1.0);
    EXPECT_EQ(g_ticks, 5);
    ui::RegisterCallback("ObsEkrGl_OdpytywaczMain", ObsEkrGl_OdpytywaczMain);
}

TEST_F(AppMainScreen, LoadFailureShowsTheMessage) {
    for (const std::string &file : {std::string("C:\\nowhere\\VGX52_G.uir"), std::string()}) {
        ui::headless::Install();
        EXPECT_EQ(WyswietlGrafikeEkrGl(file.c_str()), -1);
        EXPECT_EQ(PanelEkrGl, 0);
        ASSERT_EQ(ui::headless::Popups().size(), 1u);
        EXPECT_EQ(ui::headless::Popups()[0].request.title, "Wystąpił błąd");
        EXPECT_EQ(ui::headless::Popups()[0].request.message, "Nie można odczytać grafiki głównego ekranu ze zbioru");
    }
    EXPECT_EQ(WyswietlGrafikeEkrGl(nullptr), -1);
}

TEST_F(AppMainScreen, FileWithoutTheMainPanelFails) {
    apptest::TempDrive drive;
    const std::string other = drive.root() + "/other.uir";
    apptest::WriteBytes(other, "panel PANEL_X 9\ncontrol PANEL_X_B 2 button\n");
    EXPECT_EQ(WyswietlGrafikeEkrGl(other.c_str()), -1);
    EXPECT_EQ(PanelEkrGl, 0);
    EXPECT_EQ(ui::headless::Popups().size(), 1u);
}

TEST_F(AppMainScreen, DiscardRemovesThePanelOnce) {
    ASSERT_EQ(WyswietlGrafikeEkrGl(Resource().c_str()), 0);
    const int handle = PanelEkrGl;
    WycofajGrafikeEkrGl();
    EXPECT_EQ(PanelEkrGl, 0);
    std::string title;
    EXPECT_LT(ui::GetPanelAttribute(handle, ui::ATTR_TITLE, &title), 0);
    WycofajGrafikeEkrGl();  // nothing left to discard
    UstawOdpytywanieEkrGl(1);
    UaktualnijNastawyEkrGl();
}

TEST_F(AppMainScreen, QuitActsOnCommitOnly) {
    ASSERT_EQ(WyswietlGrafikeEkrGl(Resource().c_str()), 0);
    for (int event : {ui::EVENT_VAL_CHANGED, ui::EVENT_TIMER_TICK, ui::EVENT_CLOSE, ui::EVENT_DISCARD})
        EXPECT_EQ(ObsEkrGl_Koniec(PanelEkrGl, PANEL_GL_KONIEC, event, nullptr, 0, 0), 0);
    EXPECT_GT(PanelEkrGl, 0);
    EXPECT_EQ(ui::headless::QuitCount(), 0);
}

}  // namespace
