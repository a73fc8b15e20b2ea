// Dialling a number and judging the modem's answer, with the dialling
// panel's progress gauge and its cancel button.
#include <algorithm>
#include <cstdio>
#include <string_view>

#include "korvi70/link.h"
#include "korvi70/modem/exchange.h"
#include "korvi70/modem/modem.h"
#include "korvi70/modem/reply_rules.h"
#include "korvi70/result_codes.h"
#include "platform/com.h"
#include "platform/system.h"
#include "ui/Korvi70G.h"
#include "ui/ui.h"

unsigned char Korvi70_RecznyWyborNumeru = 0;
unsigned char Korvi70_TrybWybierania = 0;
int Korvi70_PredkoscPolaczenia = 0;

namespace korvi70::modem {
namespace {

// Between two looks at the operator's events the wait sleeps in poll() at
// most this long: the gauge moves, cancel answers, and no core spins.
constexpr double kEventPeriod = 0.05;
// The modem ends the wait by S7; a modem that never answers cannot hold
// the program for longer than S7 and this grace.
constexpr double kWaitGrace = 10.0;
// The gauge's range when S7 cannot be read: a common modem default.
constexpr int kDefaultWait = 50;

struct Failure {
    std::string_view word, text;
};
constexpr char kDialFailureTitle[] = "Wystąpił błąd podczas wybierania numeru połaczenia.";
constexpr Failure kFailures[] = {
    {"NO DIAL TONE", "Brak sygnału na lini telefonicznej."},
    {"NO CARRIER", "Brak odpowiedzi ze strony modemu o podanym numerze połączenia."},
    {"BUSY", "Połączenie o podanym numerze jest zajęte."},
};

void Status(int panel, const char *text) { ui::SetCtrlVal(panel, PANEL_WYBNR_STAN, text); }
void Timer(int panel, int on) { ui::SetCtrlAttribute(panel, PANEL_WYBNR_CZAS, ui::ATTR_ENABLED, on); }

enum class Wait { Answered, Cancelled, GaveUp };

// Waits for the first character of the answer. A cancel, or a modem still
// silent long after S7, tells the modem to hang up: it would otherwise go
// on dialling, and take the next command line for its own.
Wait WaitForAnswer(int port, int panel, double limit) {
    const double end = platform::Timer() + limit;
    while (platform::Timer() < end) {
        if (platform::WaitForInput(port, kEventPeriod) != 0) return Wait::Answered;
        int from = 0, control = 0;
        if (ui::GetUserEvent(0, &from, &control) == ui::EVENT_COMMIT && panel > 0 && from == panel &&
            control == PANEL_WYBNR_ANULUJ) {
            Status(panel, "rozłączam modem od lini telefonicznej");
            Korvi70_Modem_OdluzSluchawke(port);
            return Wait::Cancelled;
        }
    }
    Korvi70_Modem_OdluzSluchawke(port);
    return Wait::GaveUp;
}

// The speed after "CONNECT"; the last one stays when no number follows.
void TakeSpeed(std::string_view text) {
    text.remove_prefix(std::min<std::size_t>(7, text.size()));
    int speed = 0, digits = 0;
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    for (char c : text) {
        if (c < '0' || c > '9' || digits == 9) break;
        speed = speed * 10 + (c - '0');
        ++digits;
    }
    if (digits > 0) Korvi70_PredkoscPolaczenia = speed;
}

int Judge(std::string_view text) {
    for (const Failure &failure : kFailures) {
        if (StartsWithWord(text, failure.word)) {
            ui::MessagePopup(kDialFailureTitle, std::string(failure.text).c_str());
            return kNoValidReply;
        }
    }
    if (StartsWithWord(text, "CONNECT")) {
        TakeSpeed(text);
        char message[100];
        std::snprintf(message, sizeof message, "%s%i%s", "Nawiązano połączenie z prędkością transmisji ",
                      Korvi70_PredkoscPolaczenia, "bps.");
        ui::MessagePopup("Połączenie nawiązane.", message);
    }
    return kDone;  // any other answer (RING, ERROR, ...) is no failure either
}

}  // namespace
}  // namespace korvi70::modem

using namespace korvi70::modem;

int Korvi70_WybierzNumer(int port, const char *number, char dialMode, int panel) {
    if (!ValidPort(port) || number == nullptr || !Dialable(number) || (dialMode != 0 && dialMode != 1))
        return korvi70::kRefused;
    if (const int rc = Prepare(port, 1.0); rc != korvi70::kDone) return rc;

    static int s7 = kDefaultWait;  // the last S7 read stands when a read fails
    Korvi70_Modem_PodCzasOczekiwaniaNaPolaczenie(port, &s7);
    const int wait = std::clamp(s7, 1, 255);
    ui::SetCtrlAttribute(panel, PANEL_WYBNR_POSTEP, ui::ATTR_MIN_VALUE, 0.0);
    ui::SetCtrlAttribute(panel, PANEL_WYBNR_POSTEP, ui::ATTR_MAX_VALUE, static_cast<double>(wait));
    ui::SetCtrlVal(panel, PANEL_WYBNR_POSTEP, 0.0);
    Timer(panel, 0);
    Status(panel, "wybieram numer połączenia");

    char command[4 + kTextSize + 2];
    const int length = std::snprintf(command, sizeof command, "%s%s%s", dialMode == 1 ? "ATDP" : "ATDT", number, "\r");
    if (const int rc = Send({command, static_cast<std::size_t>(length)}); rc != korvi70::kDone) return rc;
    Timer(panel, 1);
    Status(panel, "oczekuję na połączenie");
    WaitSent(port);

    if (Korvi70_EchoModemu == 1) {
        char echo[sizeof command + 1];
        if (Korvi70_ComRd(echo, length) <= 0) {
            Timer(panel, 0);
            return korvi70::kNoValidReply;
        }
    }
    const Wait answer = WaitForAnswer(port, panel, wait + kWaitGrace);
    Timer(panel, 0);
    if (answer == Wait::Cancelled) return 4;
    if (answer == Wait::GaveUp) return korvi70::kNoValidReply;

    Reply reply;
    if (ReadReply(port, reply) != korvi70::kDone) return korvi70::kNoValidReply;
    return Judge(StripBreaks(reply.View()));
}

int ObsEkrWybNr_Czas(int panel, int, int event, void *, int, int) {
    if (event != ui::EVENT_TIMER_TICK) return 0;
    double value = 0;
    ui::GetCtrlVal(panel, PANEL_WYBNR_POSTEP, &value);
    ui::SetCtrlVal(panel, PANEL_WYBNR_POSTEP, value + 1.0);
    return 0;
}
