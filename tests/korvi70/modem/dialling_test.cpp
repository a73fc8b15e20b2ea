// Dialling and the disconnect against a scripted modem: the dial command,
// how each answer of the modem is judged (the same whether the read ends at
// the final line or waits its time-out, and on every line), and the bytes
// and timing of the disconnect.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "korvi70/modem/modem.h"
#include "scripted_modem.h"
#include "ui/headless.h"

namespace modem_test {
namespace {

constexpr char kFailureTitle[] = "Wystąpił błąd podczas wybierania numeru połaczenia.";
constexpr char kConnected[] = "Połączenie nawiązane.";

struct AnswerCase {
    const char *name;
    std::string answer;
    int rc;
    std::string title, message;  // "" = no popup
    int speed;                   // Korvi70_PredkoscPolaczenia after it (it was 1200 before)
};

TEST_P(ModemLineTest, EachAnswerToTheDialCommandIsJudgedByItsStart) {
    const AnswerCase cases[] = {
        {"CONNECT 9600", "\r\nCONNECT 9600\r\n", 0, kConnected, "Nawiązano połączenie z prędkością transmisji 9600bps.",
         9600},
        {"connect in small letters", "\r\n\r\nconnect 33600/ARQ\r\n", 0, kConnected,
         "Nawiązano połączenie z prędkością transmisji 33600bps.", 33600},
        {"CONNECT without a speed", "\r\nCONNECT\r\n", 0, kConnected,
         "Nawiązano połączenie z prędkością transmisji 1200bps.", 1200},
        {"BUSY", "\r\nBUSY\r\n", 3, kFailureTitle, "Połączenie o podanym numerze jest zajęte.", 1200},
        {"NO CARRIER", "\r\nNO CARRIER\r\n", 3, kFailureTitle,
         "Brak odpowiedzi ze strony modemu o podanym numerze połączenia.", 1200},
        {"NO DIAL TONE", "\r\nNO DIAL TONE\r\n", 3, kFailureTitle, "Brak sygnału na lini telefonicznej.", 1200},
        {"RING", "\r\nRING\r\n", 0, "", "", 1200},
        {"ERROR", "\r\nERROR\r\n", 0, "", "", 1200},
    };
    // The remote modem answers after the reply time-out: only what the S7
    // read left behind could come sooner.
    modem_.dialAnswerDelay = GetParam().replyTime + 0.05;
    for (const bool early : {true, false}) {
        korvi70::modem::SetEarlyEnd(early);
        for (const AnswerCase &c : cases) {
            SCOPED_TRACE(std::string(c.name) + (early ? ", early end" : ", whole time-out"));
            ui::headless::Install();
            modem_.Clear();
            modem_.SetResponder([&](const std::string &line) { return line == "ATS7?" ? Value("050") : c.answer; });
            Korvi70_PredkoscPolaczenia = 1200;
            EXPECT_EQ(Korvi70_WybierzNumer(kPort, "123", 0, 0), c.rc);
            EXPECT_EQ(modem_.Written(), "ATS7?\rATDT123\r");
            EXPECT_EQ(Korvi70_PredkoscPolaczenia, c.speed);
            const auto &popups = ui::headless::Popups();
            ASSERT_EQ(popups.size(), c.title.empty() ? 0u : 1u);
            if (!popups.empty()) {
                EXPECT_EQ(popups[0].request.title, c.title);
                EXPECT_EQ(popups[0].request.message, c.message);
            }
        }
    }
}

// A modem that never answers the dial: once the wait gives up (S7 and a
// grace), the modem is told to hang up so that it stops dialling.
TEST_F(ModemTest, AModemSilentLongAfterS7IsToldToHangUp) {
    ui::headless::Install();
    modem_.SetResponder([](const std::string &line) {
        if (line == "ATS7?") return Value("001");
        return line.rfind("ATD", 0) == 0 ? std::string() : Ok();
    });
    EXPECT_EQ(Korvi70_WybierzNumer(kPort, "123", 0, 0), 3);
    EXPECT_EQ(modem_.Written(), "ATS7?\rATDT123\rATH0\r");
    EXPECT_TRUE(ui::headless::Popups().empty());
}

TEST_F(ModemTest, PulseDiallingAndAnEmptyNumber) {
    ui::headless::Install();
    AnswerAll("\r\nCONNECT 2400\r\n");
    EXPECT_EQ(Korvi70_WybierzNumer(kPort, "", 1, 0), 0);
    EXPECT_EQ(modem_.Written(), "ATS7?\rATDP\r");
    modem_.Clear();
    for (const char *refused : {"12\r34", "\x7F"}) EXPECT_EQ(Korvi70_WybierzNumer(kPort, refused, 0, 0), 1);
    EXPECT_EQ(Korvi70_WybierzNumer(kPort, "1", 2, 0), 1);
    EXPECT_EQ(Korvi70_WybierzNumer(0, "1", 0, 0), 1);
    EXPECT_EQ(modem_.Written(), "");
}

TEST_F(ModemTest, TheDisconnectEscapesHangsUpAndRestoresTheFixedSettings) {
    AnswerAll(Ok());
    constexpr double kGuard = 0.1;
    korvi70::modem::SetEscapeGuardTime(kGuard);
    for (const char escape : {'\0', '+', '#'}) {
        SCOPED_TRACE(escape == '\0' ? std::string("none read yet") : std::string(1, escape));
        modem_.Clear();
        Korvi70_ZnakKoncaTransmisji = escape;
        Korvi70_CzasOdpowiedziModemu = 0.01;
        EXPECT_EQ(Korvi70_Modem_PodniesSluchawke(kPort), 0);
        EXPECT_EQ(Korvi70_RozlaczModem(kPort), 0);
        const std::string three(3, escape == '\0' ? '+' : escape);
        EXPECT_EQ(modem_.Written(), "ATH1\r" + three + "ATH0\rATQ0\rATV1\rATX4\r");
        EXPECT_EQ(Korvi70_CzasOdpowiedziModemu, 0.5);
        // The line was silent for the guard time before the escape.
        const std::vector<double> times = modem_.LineTimes();
        ASSERT_EQ(times.size(), 6u);
        EXPECT_GE(times[1] - times[0], kGuard);
    }
    // Every step runs when the ones before fail; the result is the fixed settings'.
    modem_.Clear();
    Korvi70_ZnakKoncaTransmisji = '+';
    modem_.SetResponder([](const std::string &line) { return line == "ATH0" || line == "ATV1" ? "" : Ok(); });
    EXPECT_EQ(Korvi70_RozlaczModem(kPort), 3);
    EXPECT_EQ(modem_.Written(), "+++ATH0\rATQ0\rATV1\r");
    EXPECT_EQ(Korvi70_RozlaczModem(5), 1);
}

}  // namespace
}  // namespace modem_test
