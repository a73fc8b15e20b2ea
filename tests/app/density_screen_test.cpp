// The gas density setting screen against the simulated instrument.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstdio>

#include "app/app_state.h"
#include "app/density_calculator.h"
#include "app/density_screen.h"
#include "app/main_screen.h"
#include "app/screens.h"
#include "screen_fixture.h"
#include "test_env.h"
#include "toolvane/folders.h"
#include "ui/VGX52_G.h"
#include "ui/headless.h"
#include "ui/model.h"
#include "ui/ui.h"

namespace {

using ui::headless::ByResource;
constexpr int kReadReal = 0x82, kWriteReal = 0x83, kIdentify = 3;
const char kReadError[] = "Wystąpił błąd|Odczyt z przyrządu wartości gęstości gazu suchego niepoprawny";
const char kWriteError[] = "Wystąpił błąd.|Zapis do przyrządu niepoprawny.";

class DensityScreen : public apptest::ScreenTest {
protected:
    // Opens the screen as the operator does: a poll makes the command operable.
    void Open() {
        Tick();
        ui::headless::QueueCommit(ByResource(PANEL_GL), PANEL_GL_USTGEST);
        ui::RunUserInterface();
        ASSERT_GT(PanelUstGest, 0);
        ASSERT_EQ(ui::model::TopPopup(), PanelUstGest);
        line.Forget();
    }
    void Press(int control) {
        ui::headless::QueueCommit(ByResource(PANEL_UG), control);
        ui::RunUserInterface();
    }
    double Shown() { return Value(PanelUstGest, PANEL_UG_GESTOSC); }
    std::uint32_t &InstrumentReal(char code) {
        return code >= 'a' ? instrument.State().vgx.lowerReals[code - 'a']
                           : instrument.State().vgx.upperReals[code - 'A'];
    }
};

TEST_F(DensityScreen, OpeningShowsTheInstrumentsDensityAndStopsPolling) {
    InstrumentReal('E') = std::bit_cast<std::uint32_t>(1.25f);
    ui::SetCtrlAttribute(PanelEkrGl, PANEL_GL_TIMER, ui::ATTR_ENABLED, 1);
    Open();
    EXPECT_EQ(Shown(), 1.25);
    EXPECT_FALSE(TimerEnabled());
    EXPECT_TRUE(Messages().empty());

    // No poll while the screen is open.
    ui::headless::QueueWait(5.0);
    ui::RunUserInterface();
    EXPECT_EQ(line.Count(kIdentify), 0);

    Press(PANEL_UG_POWROT);
    EXPECT_EQ(ui::model::TopPopup(), 0);
    EXPECT_EQ(PanelUstGest, 0);
    EXPECT_TRUE(TimerEnabled());
    ui::headless::AdvanceTime(1.0);
    EXPECT_EQ(line.Count(kIdentify), 1) << "polling resumes at its period";
}

TEST_F(DensityScreen, AirShowsItsDensityAndWritesTheGasConstant) {
    Open();
    Press(PANEL_UG_POWIETRZE);
    EXPECT_EQ(Shown(), 1.2922598852422986);
    EXPECT_EQ(InstrumentReal('a'), 0x438F870Au);
    EXPECT_NE(line.written.find("61438F870A"), std::string::npos);
    EXPECT_EQ(line.commands, (std::vector<int>{kWriteReal}));
    EXPECT_TRUE(Messages().empty());

    // Reopened, the screen shows what the instrument reports, not the air density.
    Press(PANEL_UG_POWROT);
    Open();
    EXPECT_EQ(Shown(), static_cast<double>(std::bit_cast<float>(InstrumentReal('E'))));
    EXPECT_NE(Shown(), 1.2922598852422986);
}

TEST_F(DensityScreen, WithoutAnInstrumentBothMessagesShowWithTheirOwnTitles) {
    instrument.Faults().silent = true;
    ui::headless::ExpectMessage("Wystąpił błąd");
    ui::headless::ExpectMessage("Wystąpił błąd.");
    ObsEkrGl_UstGestGazu(PanelEkrGl, PANEL_GL_USTGEST, ui::EVENT_COMMIT, nullptr, 0, 0);
    ASSERT_GT(PanelUstGest, 0);
    EXPECT_EQ(ui::model::TopPopup(), PanelUstGest) << "the screen opens anyway";
    EXPECT_EQ(Shown(), 0.0) << "as loaded";
    Press(PANEL_UG_POWIETRZE);
    EXPECT_EQ(Shown(), 1.2922598852422986);
    EXPECT_EQ(Messages(), (std::vector<std::string>{kReadError, kWriteError}));
    EXPECT_EQ(line.commands, (std::vector<int>{kReadReal, kReadReal, kReadReal, kReadReal, kReadReal, kWriteReal,
                                               kWriteReal, kWriteReal, kWriteReal, kWriteReal}));
}

TEST_F(DensityScreen, WriteIsRepeatedOnlyWhileNoValidAnswer) {
    Open();
    line.silence = [](int n, int) { return n <= 4; };
    Press(PANEL_UG_POWIETRZE);
    EXPECT_EQ(line.Count(kWriteReal), 5);
    EXPECT_TRUE(Messages().empty());

    line.Forget();
    line.silence = nullptr;
    instrument.Faults().status = 5;
    ui::headless::ExpectMessage("Wystąpił błąd.");
    Press(PANEL_UG_POWIETRZE);
    EXPECT_EQ(line.Count(kWriteReal), 1);
    EXPECT_EQ(Messages(), (std::vector<std::string>{kWriteError}));
}

TEST_F(DensityScreen, PanelMissingFromTheResourceFileLeavesPollingRunning) {
    apptest::TempDrive drive;
    std::string text = apptest::ReadBytes(apptest::SourceResourceFile());
    text = text.substr(0, text.find("panel PANEL_UG"));
    const std::string cut = drive.root() + "/cut.uir";
    apptest::WriteBytes(cut, text);
    std::snprintf(Toolvane_ZbiorUir, sizeof Toolvane_ZbiorUir, "%s", cut.c_str());
    UstawOdpytywanieEkrGl(1);
    ui::headless::ExpectMessage("Wystąpił błąd");
    ObsEkrGl_UstGestGazu(PanelEkrGl, PANEL_GL_USTGEST, ui::EVENT_COMMIT, nullptr, 0, 0);
    EXPECT_EQ(PanelUstGest, 0);
    EXPECT_EQ(ui::model::TopPopup(), 0);
    EXPECT_TRUE(TimerEnabled());
    EXPECT_TRUE(line.commands.empty());
}

TEST_F(DensityScreen, CallbacksActOnCommitOnly) {
    Open();
    for (auto cb : {ObsEkrUstGest_WpiszGestPowietrza, ObsEkrUstGest_KalkGest, ObsEkrUstGest_Powrot})
        cb(PanelUstGest, 0, ui::EVENT_VAL_CHANGED, nullptr, 0, 0);
    ObsEkrGl_UstGestGazu(PanelEkrGl, PANEL_GL_USTGEST, ui::EVENT_VAL_CHANGED, nullptr, 0, 0);
    EXPECT_TRUE(line.commands.empty());
    EXPECT_EQ(ui::model::TopPopup(), PanelUstGest);
    EXPECT_EQ(PanelKalGest, 0);
}

TEST_F(DensityScreen, ResourceFileNamesTheCallbacks) {
    const int ug = ui::LoadPanel(0, Toolvane_ZbiorUir, PANEL_UG);
    const int kg = ui::LoadPanel(0, Toolvane_ZbiorUir, PANEL_KG);
    ASSERT_GT(ug, 0);
    ASSERT_GT(kg, 0);
    const std::pair<int, int> controls[] = {
        {ug, PANEL_UG_POWIETRZE}, {ug, PANEL_UG_KALKULATOR}, {ug, PANEL_UG_POWROT},
        {kg, PANEL_KG_AZOT},      {kg, PANEL_KG_CO},         {kg, PANEL_KG_WYPELNIJ},
        {kg, PANEL_KG_ZERUJ},     {kg, PANEL_KG_AKCEPTUJ},   {kg, PANEL_KG_POWROT},
    };
    for (auto [panel, control] : controls) {
        std::string name;
        ASSERT_EQ(ui::GetCtrlAttribute(panel, control, ui::ATTR_CALLBACK_NAME, &name), 0);
        EXPECT_NE(ui::FindCallback(name.c_str()), nullptr) << name;
    }
}

}  // namespace
