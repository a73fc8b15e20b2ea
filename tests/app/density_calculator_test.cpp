// The gas density calculator on the density setting screen.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>

#include "app/app_state.h"
#include "app/density_calculator.h"
#include "app/density_screen.h"
#include "app/screens.h"
#include "screen_fixture.h"
#include "ui/VGX52_G.h"
#include "ui/headless.h"
#include "ui/model.h"
#include "ui/ui.h"

namespace {

using ui::headless::ByResource;
constexpr int kWriteReal = 0x83;
const char kWriteError[] = "Wystąpił błąd.|Zapis do przyrządu niepoprawny.";

class Calculator : public apptest::ScreenTest {
protected:
    void SetUp() override {
        ScreenTest::SetUp();
        ObsEkrGl_UstGestGazu(PanelEkrGl, PANEL_GL_USTGEST, ui::EVENT_COMMIT, nullptr, 0, 0);
        ASSERT_GT(PanelUstGest, 0);
        ui::headless::QueueCommit(ByResource(PANEL_UG), PANEL_UG_KALKULATOR);
        ui::RunUserInterface();
        ASSERT_GT(PanelKalGest, 0);
        ASSERT_EQ(ui::model::TopPopup(), PanelKalGest);
        line.Forget();
    }
    void Enter(int control, double value) {
        ui::headless::QueueInput(ByResource(PANEL_KG), control, value);
        ui::RunUserInterface();
    }
    void Press(int control) {
        ui::headless::QueueCommit(ByResource(PANEL_KG), control);
        ui::RunUserInterface();
    }
    double Field(int control) { return Value(PanelKalGest, control); }
    double Concentration(int i) { return Field(app::kConcentrationControls[i]); }
};

TEST_F(Calculator, FillingAnEmptyCalculatorGivesDryAir) {
    Press(PANEL_KG_WYPELNIJ);
    const double air[] = {78.08426, 20.9476, 0.934, 0.0314, 0.001818, 0.000524, 0.00015, 0, 0.00005, 0.0002};
    for (int i = 0; i < 10; ++i) EXPECT_EQ(Concentration(i), air[i]) << i;
    for (int i = 10; i < 15; ++i) EXPECT_EQ(Concentration(i), 0.0) << i;
    EXPECT_NEAR(Field(PANEL_KG_SUMA), 100.000002, 1e-9);
    EXPECT_NEAR(Field(PANEL_KG_STALA), 287.046, 0.0005);
    EXPECT_NEAR(Field(PANEL_KG_GESTOSC), 1.2923, 0.00005);
    EXPECT_TRUE(line.commands.empty()) << "nothing is written before accept";
}

TEST_F(Calculator, FiftyPercentMethaneIsCompletedWithHalfOfEachAirShare) {
    Enter(PANEL_KG_METAN, 50.0);
    EXPECT_EQ(Field(PANEL_KG_SUMA), 50.0);
    EXPECT_EQ(Field(PANEL_KG_STALA), 831414.0 / (50 * 16.04303));
    Press(PANEL_KG_WYPELNIJ);
    EXPECT_EQ(Field(PANEL_KG_METAN), 50.000075);
    EXPECT_EQ(Field(PANEL_KG_AZOT), 39.04213);
    EXPECT_EQ(Field(PANEL_KG_TLEN), 20.9476 / 2);
    EXPECT_NEAR(Field(PANEL_KG_SUMA), 100.000001, 1e-9);
}

TEST_F(Calculator, PureNitrogen) {
    Enter(PANEL_KG_AZOT, 100.0);
    EXPECT_NEAR(Field(PANEL_KG_STALA), 296.79, 0.005);
    EXPECT_NEAR(Field(PANEL_KG_GESTOSC), 1.2499, 0.00005);
    // Already 100 %: fill changes nothing.
    Press(PANEL_KG_WYPELNIJ);
    EXPECT_EQ(Field(PANEL_KG_AZOT), 100.0);
    EXPECT_EQ(Field(PANEL_KG_TLEN), 0.0);
}

TEST_F(Calculator, ClearSetsEveryFieldToZero) {
    Enter(PANEL_KG_AMONIAK, 4.0);
    Press(PANEL_KG_WYPELNIJ);
    Press(PANEL_KG_ZERUJ);
    for (int control = PANEL_KG_AZOT; control <= PANEL_KG_GESTOSC; ++control) EXPECT_EQ(Field(control), 0.0) << control;
}

TEST_F(Calculator, AcceptWritesSinglePrecisionAndShowsTheDoubleDensity) {
    Press(PANEL_KG_WYPELNIJ);
    const double r = Field(PANEL_KG_STALA), rho = Field(PANEL_KG_GESTOSC);
    Press(PANEL_KG_AKCEPTUJ);
    EXPECT_EQ(instrument.State().vgx.lowerReals[0], std::bit_cast<std::uint32_t>(static_cast<float>(r)));
    EXPECT_EQ(Value(PanelUstGest, PANEL_UG_GESTOSC), rho);
    EXPECT_NE(rho, static_cast<double>(static_cast<float>(rho)));
    EXPECT_EQ(ui::model::TopPopup(), PanelKalGest) << "the calculator stays open";
    EXPECT_TRUE(Messages().empty());

    Press(PANEL_KG_POWROT);
    EXPECT_EQ(ui::model::TopPopup(), PanelUstGest);
    EXPECT_EQ(PanelKalGest, 0);
    EXPECT_EQ(line.commands, (std::vector<int>{kWriteReal})) << "return writes nothing";
}

TEST_F(Calculator, AcceptFailureKeepsTheDensityScreen) {
    const double before = Value(PanelUstGest, PANEL_UG_GESTOSC);
    Press(PANEL_KG_WYPELNIJ);
    instrument.Faults().silent = true;
    ui::headless::ExpectMessage("Wystąpił błąd.");
    Press(PANEL_KG_AKCEPTUJ);
    EXPECT_EQ(Messages(), (std::vector<std::string>{kWriteError}));
    EXPECT_EQ(line.Count(kWriteReal), 5);
    EXPECT_EQ(Value(PanelUstGest, PANEL_UG_GESTOSC), before);
}

// Without a positive denominator there is no gas constant: the fields show
// 0, and accept refuses to set the instrument to 0.
TEST_F(Calculator, CompositionWithoutAGasConstant) {
    const double before = Value(PanelUstGest, PANEL_UG_GESTOSC);
    for (double nitrogen : {0.0, -10.0}) {
        Enter(PANEL_KG_AZOT, nitrogen);
        EXPECT_EQ(Field(PANEL_KG_SUMA), nitrogen);
        EXPECT_EQ(Field(PANEL_KG_STALA), 0.0);
        EXPECT_EQ(Field(PANEL_KG_GESTOSC), 0.0);
        ui::headless::ExpectMessage("Wystąpił błąd.");
        Press(PANEL_KG_AKCEPTUJ);
    }
    EXPECT_EQ(Messages(), (std::vector<std::string>{kWriteError, kWriteError}));
    EXPECT_TRUE(line.commands.empty());
    EXPECT_EQ(Value(PanelUstGest, PANEL_UG_GESTOSC), before);
}

TEST_F(Calculator, ReopensWithTheResourceFilesValues) {
    Press(PANEL_KG_WYPELNIJ);
    Press(PANEL_KG_POWROT);
    ui::headless::QueueCommit(ByResource(PANEL_UG), PANEL_UG_KALKULATOR);
    ui::RunUserInterface();
    ASSERT_GT(PanelKalGest, 0);
    for (int control = PANEL_KG_AZOT; control <= PANEL_KG_GESTOSC; ++control) EXPECT_EQ(Field(control), 0.0) << control;
    EXPECT_EQ(ObsEkrKalGest_OdczytajUstawieniaEkrKalGest(), 0);
    EXPECT_TRUE(line.commands.empty()) << "the calculator reads nothing when it opens";
}

}  // namespace
