// The AT command operations: each checks its arguments, runs one exchange
// and judges the reply by its rule.
#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <string_view>

#include "korvi70/modem/exchange.h"
#include "korvi70/modem/modem.h"
#include "korvi70/modem/reply_rules.h"
#include "korvi70/result_codes.h"
#include "platform/utf8.h"

namespace korvi70::modem {
namespace {

constexpr double kShort = 1.0;  // time-out factors
constexpr double kLong = 10.0;
constexpr int kLineSize = 4 + 3 + 1 + kTextSize + 2;  // "AT&Z", slot, "=", a number, CR, NUL

struct Line {
    char text[kLineSize];
    int length;
    std::string_view View() const { return {text, static_cast<std::size_t>(length)}; }
};

// A command line, cut to the buffer should it ever be longer.
__attribute__((format(printf, 1, 2))) Line Format(const char *format, ...) {
    Line line{};
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(line.text, sizeof line.text, format, args);
    va_end(args);
    line.length = n < 0 ? 0 : (n >= kLineSize ? kLineSize - 1 : n);
    return line;
}

// Rule P1: "OK" anywhere.
int Acknowledged(int port, const Line &line, double factor) {
    if (!ValidPort(port)) return kRefused;
    Reply reply;
    if (const int rc = Exchange(port, line.View(), factor, true, reply); rc != kDone) return rc;
    return HasOk(reply.View()) ? kDone : kNoValidReply;
}

// Rule P2: "OK" somewhere, then the value after the echo and line breaks.
// A reply with no number there still gives 0 and leaves *found false.
int Register(int port, int reg, int *value, bool *found) {
    *found = false;
    if (!ValidPort(port)) return kRefused;
    const Line line = Format("ATS%d?\r", reg);
    Reply reply;
    if (const int rc = Exchange(port, line.View(), kShort, true, reply); rc != kDone) return rc;
    if (!HasOk(reply.View())) return kNoValidReply;
    *found = LeadingNumber(CutEcho(reply.View(), line.View().size(), Korvi70_EchoModemu == 1), value);
    return kDone;
}

// Reads a register into *out through convert, written only when a value came.
template <class T, class Convert>
int ReadRegister(int port, int reg, T *out, Convert convert) {
    int value = 0;
    bool found = false;
    const int rc = Register(port, reg, &value, &found);
    if (rc == kDone && found && out != nullptr) *out = convert(value);
    return rc;
}

int WriteRegister(int port, int reg, int value, int max) {
    if (!ValidPort(port) || value < 0 || value > max) return kRefused;
    return Acknowledged(port, Format("ATS%d=%03d\r", reg, value), kShort);
}

// Rule P4: the text up to its CR after the echo and line breaks; no "OK" needed.
int ProductText(int port, char *text) {
    const Line line = Format("ATI3\r");
    Reply reply;
    if (const int rc = Exchange(port, line.View(), kNoTimeoutChange, true, reply); rc != kDone) return rc;
    const std::string_view product = UpToCr(CutEcho(reply.View(), line.View().size(), Korvi70_EchoModemu == 1));
    if (product.size() < 5) Beep();
    platform::CopyText(product, text, kTextSize + 1);
    return kDone;
}

}  // namespace
}  // namespace korvi70::modem

using namespace korvi70::modem;
using korvi70::kRefused;

namespace {
bool OneOf(char value, int max) { return value >= 0 && value <= max; }
}  // namespace

int Korvi70_Modem_LocalEcho(int port, char on) {
    if (!OneOf(on, 1)) return kRefused;
    return Acknowledged(port, Format("%s\r", on ? "ATE1" : "ATE0"), kShort);
}

int Korvi70_Modem_LocalEchoDanych(int port, char on) {
    if (!OneOf(on, 1)) return kRefused;
    return Acknowledged(port, Format("%s\r", on ? "ATF0" : "ATF1"), kShort);
}

int Korvi70_Modem_ZapUstawieniaStaleDlaKorvi70(int port) {
    if (!ValidPort(port)) return kRefused;
    if (const int rc = Prepare(port, kShort); rc != korvi70::kDone) return rc;
    bool first = true;
    for (std::string_view command : {"ATQ0\r", "ATV1\r", "ATX4\r"}) {
        if (const int rc = Send(command); rc != korvi70::kDone) return rc;
        if (first) WaitSent(port);
        first = false;
        Reply reply;
        if (const int rc = ReadReply(port, reply); rc != korvi70::kDone) return rc;
        if (!HasOk(reply.View())) return korvi70::kNoValidReply;
    }
    return korvi70::kDone;
}

int Korvi70_Modem_ZapKonfiguracjeStartowa(int port, char n) {
    if (!OneOf(n, 4)) return kRefused;
    return Acknowledged(port, Format("ATY%d\r", n), kLong);
}

int Korvi70_Modem_ZapTrybUstPredkosciRS(int port, char n) {
    if (!OneOf(n, 2)) return kRefused;
    return Acknowledged(port, Format("AT&B%d\r", n), kShort);
}

int Korvi70_Modem_MinPredNaLaczuTelefon(int port, char speedIndex) {
    if (!OneOf(speedIndex, 38)) return kRefused;
    return Acknowledged(port, Format("AT&N%d\r", SpeedIndexCode(speedIndex)), kShort);
}

int Korvi70_Modem_MaxPredNaLaczuTelefon(int port, char speedIndex) {
    if (!OneOf(speedIndex, 38)) return kRefused;
    return Acknowledged(port, Format("AT&U%d\r", SpeedIndexCode(speedIndex)), kShort);
}

int Korvi70_ResetujModem(int port, char n) {
    if (!OneOf(n, 5)) return kRefused;
    return Acknowledged(port, Format("ATZ%d\r", n), kShort);
}

int Korvi70_Modem_ZapUstDoKonfUzytkownika(int port, char n) {
    if (!OneOf(n, 1)) return kRefused;
    return Acknowledged(port, Format("AT&W%d\r", n), kLong);
}

int Korvi70_Modem_Testuj(int port, char testIndex) {
    if (!OneOf(testIndex, 7)) return kRefused;
    return Acknowledged(port, Format("AT&T%d\r", TestIndexCode(testIndex)), kShort);
}

int Korvi70_Modem_PodniesSluchawke(int port) { return Acknowledged(port, Format("ATH1\r"), kShort); }
int Korvi70_Modem_OdluzSluchawke(int port) { return Acknowledged(port, Format("ATH0\r"), kShort); }
int Korvi70_Modem_ZablokujSprSygnaluNaLaczu(int port) { return Acknowledged(port, Format("ATX1\r"), kShort); }

// Rule P3: after the echo and line breaks, "OK" somewhere and the number up
// to its CR. An empty slot answers with the "OK" line alone: it reads as an
// empty number, not as the number "OK".
int Korvi70_Modem_PodNrTelZPamieci(int port, char slot, char *number) {
    if (!ValidPort(port) || !OneOf(slot, 3)) return kRefused;
    const Line line = Format("AT&Z%d?\r", slot);
    Reply reply;
    if (const int rc = Exchange(port, line.View(), kShort, true, reply); rc != korvi70::kDone) return rc;
    const std::string_view text = CutEcho(reply.View(), line.View().size(), Korvi70_EchoModemu == 1);
    if (!HasOk(text)) return korvi70::kNoValidReply;
    std::string_view stored = UpToCr(text);
    if (stored.size() == 2 && StartsWithWord(stored, "OK")) stored = {};
    platform::CopyText(stored, number, kTextSize + 1);
    return korvi70::kDone;
}

// The number must fit the command line and may not end it early.
int Korvi70_Modem_ZapNrTelDoPamieci(int port, char slot, const char *number) {
    if (!ValidPort(port) || !OneOf(slot, 3) || number == nullptr || !Dialable(number)) return kRefused;
    const Line line = Format("AT&Z%d=%s\r", slot, number);
    Reply reply;
    if (const int rc = Exchange(port, line.View(), kLong, true, reply); rc != korvi70::kDone) return rc;
    return HasOk(CutEcho(reply.View(), line.View().size(), Korvi70_EchoModemu == 1, false)) ? korvi70::kDone
                                                                                            : korvi70::kNoValidReply;
}

int Korvi70_Modem_PodOdbierzPolaczeniePoSygnalach(int port, int *rings) {
    return ReadRegister(port, 0, rings, [](int v) { return v; });
}
int Korvi70_Modem_PodZnakKoncaTransmisjiDanych(int port, char *character) {
    return ReadRegister(port, 2, character, [](int v) { return static_cast<char>(v); });
}
int Korvi70_Modem_PodCzasOczekiwaniaNaPolaczenie(int port, int *seconds) {
    return ReadRegister(port, 7, seconds, [](int v) { return v; });
}
int Korvi70_Modem_PodCzasTrwaniaPauzy(int port, int *pause) {
    return ReadRegister(port, 8, pause, [](int v) { return v; });
}
// The modem keeps tenths of a second.
int Korvi70_Modem_PodMaxCzasZaklocenNaLaczu(int port, double *seconds) {
    return ReadRegister(port, 10, seconds, [](int v) { return v / 10.0; });
}

int Korvi70_Modem_ZapOdbierzPolaczeniePoSygnalach(int port, int rings) { return WriteRegister(port, 0, rings, 250); }
int Korvi70_Modem_ZapZnakKoncaTransmisjiDanych(int port, char character) {
    return WriteRegister(port, 2, static_cast<signed char>(character), 127);
}
int Korvi70_Modem_ZapCzasOczekiwaniaNaPolaczenie(int port, int seconds) { return WriteRegister(port, 7, seconds, 250); }
int Korvi70_Modem_ZapCzasTrwaniaPauzy(int port, int pause) { return WriteRegister(port, 8, pause, 250); }

int Korvi70_Modem_ZapMaxCzasZaklocenNaLaczu(int port, double seconds) {
    if (!ValidPort(port)) return kRefused;
    if (!(seconds >= 0 && seconds <= 25.0) && seconds != 25.5) return kRefused;
    return WriteRegister(port, 10, static_cast<int>(std::lround(seconds * 10.0)), 255);
}

int Korvi70_Modem_PodProductType(int port, char *text) {
    if (!ValidPort(port)) return kRefused;
    return ProductText(port, text);
}

int Korvi70_IdentyfikujModem(int port, char *text) {
    if (!ValidPort(port)) return kRefused;
    static constexpr std::string_view kEchoOn = "ATE1\r";
    if (const int rc = Prepare(port, kNoTimeoutChange); rc != korvi70::kDone) return rc;
    if (const int rc = Send(kEchoOn); rc != korvi70::kDone) return rc;
    Reply reply;
    if (const int rc = ReadReply(port, reply); rc != korvi70::kDone) return rc;
    Korvi70_EchoModemu = 1;
    // "OK" is looked for after the echoed line. A modem whose echo was off
    // does not echo this line: its "OK" may start within the first five
    // characters, and must count all the same.
    std::string_view answer = reply.View();
    if (StartsWithWord(answer, kEchoOn)) answer.remove_prefix(kEchoOn.size());
    if (!HasOk(answer)) return korvi70::kNoValidReply;
    return Korvi70_Modem_PodProductType(port, text);
}
