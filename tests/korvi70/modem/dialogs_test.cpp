// The connect, dialling and configuration dialogs on the headless back end
// against the simulated modem over a pseudo-terminal.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "korvi70/link.h"
#include "korvi70/modem/modem.h"
#include "link_fixture.h"
#include "sim_modem.h"
#include "tests/support/current_folder.h"
#include "ui/Korvi70G.h"
#include "ui/headless.h"
#include "ui/ui.h"

namespace modem_test {
namespace {

namespace fs = std::filesystem;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::Not;
using ui::headless::ByResource;

class ModemDialogTest : public SimModemTest {
protected:
    void SetUp() override {
        SimModemTest::SetUp();
        ui::headless::Install();
        ui::headless::SetPollAdvance(0.05);
        // The panels by their bare name, from a folder of the test's own
        // (where the panel states are kept too).
        folder_ = korvi70_test::TestDriveRoot() + "/program";
        fs::create_directories(folder_);
        const char *source = std::getenv("VGX52_SOURCE");
        fs::copy_file(std::string(source != nullptr ? source : ".") + "/ui/Korvi70G.Uir", folder_ + "/Korvi70G.Uir",
                      fs::copy_options::overwrite_existing);
        fs::remove(folder_ + "/Korvi70.Gkp");
        ui::SetProjectFolder(folder_.c_str());
        inFolder_ = std::make_unique<testdrive::InFolder>(folder_);
    }
    void TearDown() override {
        inFolder_.reset();
        ui::SetProjectFolder(nullptr);
        SimModemTest::TearDown();
    }
    int Panel(int resource) { return ui::model::FindPanelByResource(resource); }
    int Int(int resource, int control) {
        int value = -1;
        ui::GetCtrlVal(Panel(resource), control, &value);
        return value;
    }
    double Real(int resource, int control) {
        double value = -1;
        ui::GetCtrlVal(Panel(resource), control, &value);
        return value;
    }
    std::string Text(int resource, int control) {
        std::string text;
        ui::GetCtrlVal(Panel(resource), control, &text);
        return text;
    }
    int Dimmed(int resource, int control) {
        int value = -1;
        ui::GetCtrlAttribute(Panel(resource), control, ui::ATTR_DIMMED, &value);
        return value;
    }
    std::string Label(int control, int index) {
        std::string label;
        ui::GetLabelFromIndex(Panel(PANEL_KONF), control, index, &label);
        return label;
    }
    template <class F>
    void While(F &&check) {
        ui::headless::QueueAction(std::forward<F>(check));
    }
    std::vector<std::string> Messages() {
        std::vector<std::string> texts;
        for (const auto &popup : ui::headless::Popups())
            if (popup.request.kind == ui::PopupKind::Message) texts.push_back(popup.request.message);
        return texts;
    }
    std::string folder_;
    std::unique_ptr<testdrive::InFolder> inFolder_;
};

// ---- connect dialog and dialling panel ----

TEST_F(ModemDialogTest, ConnectingDialsTheNumberAndTheDialogRemembersItsControls) {
    Start(1, {"--modem-dial-delay", "1.2"});
    Korvi70_EchoModemu = 1;
    Korvi70_CzasOdpowiedziModemu = 0.7;
    ui::headless::QueueInput(ByResource(PANEL_MODEM), PANEL_MODEM_NUMER, std::string("5551234"));
    ui::headless::QueueInput(ByResource(PANEL_MODEM), PANEL_MODEM_TRYB, 1);
    While([&] {
        EXPECT_EQ(Text(PANEL_MODEM, PANEL_MODEM_PRODUKT), "VGX52-SIM Hayes 33600");
        EXPECT_EQ(Korvi70_TrybWybierania, 1);
        EXPECT_EQ(Korvi70_ZnakKoncaTransmisji, '+') << "read from the modem's S2";
    });
    ui::headless::QueueCommit(ByResource(PANEL_MODEM), PANEL_MODEM_POLACZ);
    ui::headless::QueueWait(1.0);
    While([&] {
        // Waiting: the gauge runs against S7, the timer is on.
        EXPECT_EQ(Text(PANEL_WYBNR, PANEL_WYBNR_STAN), "oczekuję na połączenie");
        EXPECT_GE(Real(PANEL_WYBNR, PANEL_WYBNR_POSTEP), 1.0);
        double max = 0;
        ui::GetCtrlAttribute(Panel(PANEL_WYBNR), PANEL_WYBNR_POSTEP, ui::ATTR_MAX_VALUE, &max);
        EXPECT_EQ(max, 50.0);
    });
    ui::headless::ExpectMessage("Połączenie nawiązane.");
    EXPECT_EQ(Korvi70_PolaczModem(port_), 0);
    EXPECT_EQ(Korvi70_CzasOdpowiedziModemu, 0.7) << "as the dialog found it";
    EXPECT_EQ(Panel(PANEL_MODEM), 0);
    EXPECT_EQ(Panel(PANEL_WYBNR), 0);
    EXPECT_EQ(ModemLog().back(), "ATDP5551234");
    EXPECT_TRUE(ui::headless::Failures().empty());
    Korvi70_RozlaczModem(port_);

    // Opened again: the number and the dial mode are as they were left.
    While([&] {
        EXPECT_EQ(Text(PANEL_MODEM, PANEL_MODEM_NUMER), "5551234");
        EXPECT_EQ(Int(PANEL_MODEM, PANEL_MODEM_TRYB), 1);
    });
    // The window's close button cancels.
    ui::headless::QueueClose(ByResource(PANEL_MODEM));
    EXPECT_EQ(Korvi70_PolaczModem(port_), 4);
    EXPECT_THAT(ModemLog(), Contains("ATDP5551234").Times(1)) << "cancel dials nothing";
    EXPECT_EQ(Korvi70_PolaczModem(0), 1);
}

TEST_F(ModemDialogTest, ManualDiallingTakesTheLineAfterTheOperatorDialled) {
    Start(2, {"--modem-dial-delay", "0.05"});
    Korvi70_EchoModemu = 1;
    ui::headless::QueueInput(ByResource(PANEL_MODEM), PANEL_MODEM_RECZNY, 1);
    While([&] { EXPECT_EQ(Dimmed(PANEL_MODEM, PANEL_MODEM_NUMER), 1); });
    ui::headless::QueueCommit(ByResource(PANEL_MODEM), PANEL_MODEM_POLACZ);
    ui::headless::ExpectMessage("Wykonaj.");
    ui::headless::ExpectMessage("Połączenie nawiązane.");
    EXPECT_EQ(Korvi70_PolaczModem(port_), 0);
    EXPECT_EQ(ui::headless::Popups()[0].request.message,
              "Wybierz numer na aparacie telefonicznym podłączonym do modemu. Potem naciśnij klawisz");
    const auto log = ModemLog();
    ASSERT_GE(log.size(), 3u);
    EXPECT_THAT(std::vector<std::string>(log.end() - 3, log.end()), ElementsAre("ATX1", "ATS7?", "ATDT"));
}

TEST_F(ModemDialogTest, CancelWhileWaitingHangsUpAndGivesFour) {
    Start(3, {"--modem-dial", "silent"});
    Korvi70_EchoModemu = 1;
    ui::headless::QueueInput(ByResource(PANEL_MODEM), PANEL_MODEM_NUMER, std::string("42"));
    ui::headless::QueueCommit(ByResource(PANEL_MODEM), PANEL_MODEM_POLACZ);
    ui::headless::QueueWait(0.5);
    ui::headless::QueueCommit(ByResource(PANEL_WYBNR), PANEL_WYBNR_ANULUJ);
    EXPECT_EQ(Korvi70_PolaczModem(port_), 4);
    EXPECT_THAT(ModemLog(), Contains("ATDT42"));
    EXPECT_EQ(ModemLog().back(), "ATH0");
    EXPECT_TRUE(ui::headless::Popups().empty());
}

TEST_F(ModemDialogTest, TheTimerAdvancesTheGaugeByOneOnTicksOnly) {
    const int panel = ui::LoadPanel(0, "Korvi70G.Uir", PANEL_WYBNR);
    ASSERT_GT(panel, 0);
    ui::SetCtrlVal(panel, PANEL_WYBNR_POSTEP, 3.0);
    for (int event : {ui::EVENT_COMMIT, ui::EVENT_TIMER_TICK, ui::EVENT_VAL_CHANGED, ui::EVENT_TIMER_TICK})
        EXPECT_EQ(ObsEkrWybNr_Czas(panel, PANEL_WYBNR_CZAS, event, nullptr, 0, 0), 0);
    EXPECT_EQ(Real(PANEL_WYBNR, PANEL_WYBNR_POSTEP), 5.0);
}

// ---- configuration dialog ----

TEST_F(ModemDialogTest, ConfigurationOpensWithTheModemsValuesAndSendsEachChangeAtOnce) {
    Start(4, {"--modem-refuse", "AT&W1", "--modem-refuse", "AT&Z3="});
    Korvi70_CzasOdpowiedziModemu = 0.7;
    const auto press = [](int control) { ui::headless::QueueCommit(ByResource(PANEL_KONF), control); };
    const auto input = [](int control, auto value) {
        ui::headless::QueueInput(ByResource(PANEL_KONF), control, value);
    };
    While([&] {
        EXPECT_EQ(Text(PANEL_KONF, PANEL_KONF_PRODUKT), "VGX52-SIM Hayes 33600");
        EXPECT_EQ(Dimmed(PANEL_KONF, PANEL_KONF_PRODUKT), 0);
        EXPECT_EQ(Int(PANEL_KONF, PANEL_KONF_S7), 50);
        EXPECT_EQ(Text(PANEL_KONF, PANEL_KONF_S2), "+");
        EXPECT_EQ(Real(PANEL_KONF, PANEL_KONF_S10), 1.4);
        EXPECT_EQ(Int(PANEL_KONF, PANEL_KONF_S10_KONTROLA), 1);
        EXPECT_EQ(Label(PANEL_KONF_PRED_MIN, 14), "28000");
        EXPECT_EQ(Label(PANEL_KONF_PRED_MIN, 15), "28800");
        EXPECT_EQ(Label(PANEL_KONF_PRED_MIN, 38), "56000");
        int count = 0;
        ui::GetNumListItems(Panel(PANEL_KONF), PANEL_KONF_NUMERY, &count);
        EXPECT_EQ(count, 4);
    });
    input(PANEL_KONF_PRED_MIN, 14);
    input(PANEL_KONF_S2, std::string("#"));
    input(PANEL_KONF_S0, 5);
    input(PANEL_KONF_S10_KONTROLA, 0);
    While([&] { EXPECT_EQ(Dimmed(PANEL_KONF, PANEL_KONF_S10), 1); });
    input(PANEL_KONF_S10_KONTROLA, 1);
    input(PANEL_KONF_TEST_TRYB, 7);
    press(PANEL_KONF_TEST);
    press(PANEL_KONF_ZAPISZ1);
    ui::headless::ExpectMessage("Wystąpił błąd.");
    // A new stored number, then a cancelled prompt that must change nothing.
    ui::headless::ExpectPrompt("Podaj nowy numer telefonu.", "0W5551234");
    ui::headless::QueueSelectIndex(ByResource(PANEL_KONF), PANEL_KONF_NUMERY, 1);
    ui::headless::ExpectPromptCancel("Podaj nowy numer telefonu.");
    ui::headless::QueueSelectIndex(ByResource(PANEL_KONF), PANEL_KONF_NUMERY, 2);
    // A number the modem refuses is listed all the same, before its error shows.
    ui::headless::ExpectPrompt("Podaj nowy numer telefonu.", "0W999");
    ui::headless::ExpectPopup(
        {ui::PopupKind::Message, "Wystąpił błąd.", {}, [&] { EXPECT_EQ(Label(PANEL_KONF_NUMERY, 3), "0W999"); }});
    ui::headless::QueueSelectIndex(ByResource(PANEL_KONF), PANEL_KONF_NUMERY, 3);
    While([&] {
        EXPECT_EQ(Label(PANEL_KONF_NUMERY, 1), "0W5551234");
        EXPECT_EQ(Label(PANEL_KONF_NUMERY, 2), "brak numeru") << "an empty slot, and the prompt cancelled";
        EXPECT_EQ(Label(PANEL_KONF_NUMERY, 3), "0W999");
    });
    press(PANEL_KONF_ZAMKNIJ);
    EXPECT_EQ(Korvi70_KonfiguracjaModemu(port_), 0);

    EXPECT_TRUE(ui::headless::Failures().empty());
    EXPECT_EQ(ui::headless::PendingPopups(), 0u);
    EXPECT_EQ(Korvi70_CzasOdpowiedziModemu, 0.7);
    EXPECT_EQ(Korvi70_ZnakKoncaTransmisji, '#');
    EXPECT_THAT(Messages(), ElementsAre("Zapis ustawień do konfiguracji użytkownika nr1 wykonany niepoprawnie.",
                                        "Zapis numeru telefonu do pamięci modemu wykonany niepoprawnie."));
    const auto log = ModemLog();
    // Opening: the remembered settings, the stored numbers, the registers, the product text.
    EXPECT_THAT(std::vector<std::string>(log.begin(), log.begin() + 17),
                ElementsAre("ATE1", "ATF1", "ATQ0", "ATV1", "ATX4", "ATY0", "AT&B0", "AT&N0", "AT&U38", "AT&Z0?",
                            "AT&Z1?", "AT&Z2?", "AT&Z3?", "ATS0?", "ATS2?", "ATS7?", "ATS8?"));
    EXPECT_THAT(std::vector<std::string>(log.begin() + 17, log.end()),
                ElementsAre("ATS10?", "ATI3", "AT&N17", "ATS2=035", "ATS0=005", "ATS10=255", "ATS10=014", "AT&T8",
                            "AT&W1", "AT&Z1=0W5551234", "AT&Z3=0W999"));

    // The next opening writes the remembered choices again; the window's
    // close button closes it.
    ui::headless::QueueClose(ByResource(PANEL_KONF));
    EXPECT_EQ(Korvi70_KonfiguracjaModemu(port_), 0);
    EXPECT_THAT(ModemLog(), Contains("AT&N17").Times(2));
    EXPECT_EQ(Korvi70_KonfiguracjaModemu(5), 1);
}

TEST_F(ModemDialogTest, AModemThatDoesNotAnswerLeavesTheFieldsAsTheyWere) {
    Start(1, {"--modem-silent"});
    Korvi70_EchoModemu = 0;
    Korvi70_ZnakKoncaTransmisji = '%';
    While([&] {
        for (int slot = 0; slot < 4; ++slot) EXPECT_EQ(Label(PANEL_KONF_NUMERY, slot), "brak numeru");
        EXPECT_EQ(Text(PANEL_KONF, PANEL_KONF_PRODUKT), "nie dostępny");
        EXPECT_EQ(Text(PANEL_KONF, PANEL_KONF_S2), "%") << "the escape character as it was";
    });
    ui::headless::QueueCommit(ByResource(PANEL_KONF), PANEL_KONF_TEST);
    ui::headless::QueueCommit(ByResource(PANEL_KONF), PANEL_KONF_ZAMKNIJ);
    ui::headless::ExpectMessage("Wystąpił błąd.");
    EXPECT_EQ(Korvi70_KonfiguracjaModemu(port_), 0);
    EXPECT_THAT(Messages(), ElementsAre("Rozkaz testowania wykonany niepoprawnie."));
}

}  // namespace
}  // namespace modem_test
