// The modem layer over a pseudo-terminal against the simulated modem in
// front of the simulated instrument: settings, registers and stored numbers
// written and read back, dialling with each answer the modem can give, the
// instrument reached through the connection, and the disconnect.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "korvi70/generic_commands.h"
#include "korvi70/link.h"
#include "korvi70/modem/modem.h"
#include "sim_modem.h"
#include "ui/headless.h"

namespace modem_test {
namespace {

using ::testing::ElementsAre;

TEST_F(SimModemTest, SettingsRegistersAndStoredNumbersGoToTheModemAndComeBack) {
    Start(1, {"--modem-refuse", "AT&W1"});
    for (const bool early : {true, false}) {
        SCOPED_TRACE(early ? "early end" : "whole time-out");
        korvi70::modem::SetEarlyEnd(early);
        // The whole time-outs, short enough for a test.
        Korvi70_CzasOdpowiedziModemu = early ? 0.2 : 0.05;
        char text[51] = "";
        ASSERT_EQ(Korvi70_IdentyfikujModem(port_, text), 0);
        EXPECT_STREQ(text, "VGX52-SIM Hayes 33600");
        EXPECT_EQ(Korvi70_Modem_ZapUstawieniaStaleDlaKorvi70(port_), 0);
        EXPECT_EQ(Korvi70_Modem_MinPredNaLaczuTelefon(port_, 14), 0);
        EXPECT_EQ(Korvi70_Modem_Testuj(port_, 2), 0);
        EXPECT_EQ(Korvi70_Modem_ZapUstDoKonfUzytkownika(port_, 0), 0);
        EXPECT_EQ(Korvi70_Modem_ZapUstDoKonfUzytkownika(port_, 1), 3) << "the modem answers ERROR";

        int s0 = -1;
        char s2 = 0;
        double s10 = -1;
        EXPECT_EQ(Korvi70_Modem_ZapOdbierzPolaczeniePoSygnalach(port_, 5), 0);
        EXPECT_EQ(Korvi70_Modem_PodOdbierzPolaczeniePoSygnalach(port_, &s0), 0);
        EXPECT_EQ(s0, 5);
        EXPECT_EQ(Korvi70_Modem_ZapZnakKoncaTransmisjiDanych(port_, '#'), 0);
        EXPECT_EQ(Korvi70_Modem_PodZnakKoncaTransmisjiDanych(port_, &s2), 0);
        EXPECT_EQ(s2, '#');
        EXPECT_EQ(Korvi70_Modem_ZapZnakKoncaTransmisjiDanych(port_, '+'), 0);
        for (const double seconds : {25.5, 2.04}) {
            EXPECT_EQ(Korvi70_Modem_ZapMaxCzasZaklocenNaLaczu(port_, seconds), 0);
            EXPECT_EQ(Korvi70_Modem_PodMaxCzasZaklocenNaLaczu(port_, &s10), 0);
            EXPECT_DOUBLE_EQ(s10, seconds == 25.5 ? 25.5 : 2.0);
        }
        EXPECT_EQ(Korvi70_Modem_ZapNrTelDoPamieci(port_, 3, "0W221234"), 0);
        EXPECT_EQ(Korvi70_Modem_PodNrTelZPamieci(port_, 3, text), 0);
        EXPECT_STREQ(text, "0W221234");
        EXPECT_EQ(Korvi70_Modem_PodNrTelZPamieci(port_, 2, text), 0);
        EXPECT_STREQ(text, "") << "an empty slot";

        // The same replies without the modem's echo.
        EXPECT_EQ(Korvi70_Modem_LocalEcho(port_, 0), 0);
        Korvi70_EchoModemu = 0;
        s0 = -1;
        EXPECT_EQ(Korvi70_Modem_PodOdbierzPolaczeniePoSygnalach(port_, &s0), 0);
        EXPECT_EQ(s0, 5);
        EXPECT_EQ(Korvi70_Modem_PodNrTelZPamieci(port_, 3, text), 0);
        EXPECT_STREQ(text, "0W221234");
    }
    EXPECT_THAT(ModemLog(), ::testing::Contains("AT&N17"));
    EXPECT_THAT(ModemLog(), ::testing::Contains("AT&T3"));
    EXPECT_THAT(ModemLog(), ::testing::Contains("ATS0=005"));
    EXPECT_THAT(ModemLog(), ::testing::Contains("ATS2=035"));
}

class DialTest : public SimModemTest {
protected:
    void SetUp() override {
        SimModemTest::SetUp();
        ui::headless::Install();
    }
    std::string LastMessage() {
        const auto &popups = ui::headless::Popups();
        return popups.empty() ? "" : popups.back().request.title + "|" + popups.back().request.message;
    }
};

TEST_F(DialTest, TheInstrumentAnswersThroughTheConnectionAndTheDisconnectFreesTheLine) {
    Start(2, {"--modem-dial-delay", "0.2"});
    char text[51];
    ASSERT_EQ(Korvi70_IdentyfikujModem(port_, text), 0);
    ASSERT_EQ(Korvi70_WybierzNumer(port_, "5551234", 0, 0), 0);
    EXPECT_EQ(Korvi70_PredkoscPolaczenia, 9600);
    EXPECT_EQ(LastMessage(), "Połączenie nawiązane.|Nawiązano połączenie z prędkością transmisji 9600bps.");
    // The echo heard when the link opened was the modem's command mode.
    EXPECT_EQ(Korvi70_JestEcho, 1);
    EXPECT_EQ(Korvi70_SprawCzyJestEcho(), 0);
    EXPECT_EQ(Korvi70_JestEcho, 0);
    int type = 0;
    EXPECT_EQ(Korvi70_PrzedstawSie(0, &type), 0);
    EXPECT_EQ(type, 0x1B0);
    EXPECT_EQ(Korvi70_RozlaczModem(port_), 0);
    EXPECT_EQ(Korvi70_CzasOdpowiedziModemu, 0.5);
    EXPECT_THAT(ModemLog(), ElementsAre("ATE1", "ATI3", "ATS7?", "ATDT5551234", "+++", "ATH0", "ATQ0", "ATV1", "ATX4"));
    // Back in command mode: the modem answers again, the instrument does not.
    EXPECT_EQ(Korvi70_Modem_OdluzSluchawke(port_), 0);
    EXPECT_EQ(Korvi70_PrzedstawSie(0, &type), 3);
}

TEST_F(DialTest, EachAnswerOfTheModemGivesItsResultAndMessage) {
    Start(3, {"--modem-dial-delay", "0.05", "--modem-number", "1=busy", "--modem-number", "2=no-carrier",
              "--modem-number", "3=no-dial-tone"});
    char product[51];
    ASSERT_EQ(Korvi70_IdentyfikujModem(port_, product), 0);
    const char *title = "Wystąpił błąd podczas wybierania numeru połaczenia.";
    struct Case {
        const char *number;
        char mode;
        int rc;
        std::string message;
        const char *sent;
    } cases[] = {
        {"1", 0, 3, std::string(title) + "|Połączenie o podanym numerze jest zajęte.", "ATDT1"},
        {"2", 1, 3, std::string(title) + "|Brak odpowiedzi ze strony modemu o podanym numerze połączenia.", "ATDP2"},
        {"3", 0, 3, std::string(title) + "|Brak sygnału na lini telefonicznej.", "ATDT3"},
        {"", 1, 0, "Połączenie nawiązane.|Nawiązano połączenie z prędkością transmisji 9600bps.", "ATDP"},
    };
    for (const bool early : {true, false}) {
        korvi70::modem::SetEarlyEnd(early);
        for (const Case &c : cases) {
            SCOPED_TRACE(std::string(c.sent) + (early ? ", early end" : ", whole time-out"));
            EXPECT_EQ(Korvi70_WybierzNumer(port_, c.number, c.mode, 0), c.rc);
            EXPECT_EQ(LastMessage(), c.message);
            EXPECT_EQ(ModemLog().back(), c.sent);
            // The disconnect waits out its escape in whole: once is enough.
            if (c.rc == 0 && early) Korvi70_RozlaczModem(port_);
        }
    }
    EXPECT_EQ(Korvi70_WybierzNumer(port_, "1", 2, 0), 1);
    EXPECT_EQ(Korvi70_WybierzNumer(port_, std::string(51, '1').c_str(), 0, 0), 1);
}

TEST_F(DialTest, ConnectWithoutASpeedKeepsTheLastOne) {
    Start(4, {"--modem-dial-delay", "0.05", "--modem-speed", "0"});
    char product[51];
    ASSERT_EQ(Korvi70_IdentyfikujModem(port_, product), 0);
    Korvi70_PredkoscPolaczenia = 28800;
    EXPECT_EQ(Korvi70_WybierzNumer(port_, "7", 0, 0), 0);
    EXPECT_EQ(Korvi70_PredkoscPolaczenia, 28800);
    EXPECT_EQ(LastMessage(), "Połączenie nawiązane.|Nawiązano połączenie z prędkością transmisji 28800bps.");
}

TEST_F(DialTest, WithTheEchoFlagSetAModemThatDoesNotEchoGivesThree) {
    Start(1, {"--modem-no-echo", "--modem-dial", "silent"});
    Korvi70_EchoModemu = 1;
    EXPECT_EQ(Korvi70_WybierzNumer(port_, "5551234", 0, 0), 3);
    EXPECT_TRUE(ui::headless::Popups().empty());
}

}  // namespace
}  // namespace modem_test
