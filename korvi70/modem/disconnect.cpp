// Ending a connection: the escape sequence back to command mode, on hook,
// and the fixed settings again.
#include "korvi70/modem/exchange.h"
#include "korvi70/modem/modem.h"
#include "korvi70/modem/reply_rules.h"
#include "korvi70/result_codes.h"
#include "platform/com.h"
#include "platform/system.h"

namespace {
// The escape character before the modem's S2 has been read: the one modems
// come with.
constexpr char kDefaultEscape = '+';
// S12 = 50 fiftieths of a second.
double g_guardTime = 1.0;
// What the line may still hold back after the last write: an adapter's
// latency, the wire time of what was queued.
constexpr double kGuardMargin = 0.2;

// Silence before the first escape character. The silence after the third
// is the reply's: its "OK" comes only once the modem has waited it out.
void WaitForGuardTime(int port) {
    if (g_guardTime <= 0) return;
    double quietFrom = platform::LastWriteTime(port);
    if (platform::GetOutQLen(port) > 0) {
        platform::WaitSent(port);
        quietFrom = platform::Timer();
    }
    const double wait = quietFrom + g_guardTime + kGuardMargin - platform::Timer();
    if (wait > 0) platform::Delay(wait);
}
}  // namespace

namespace korvi70::modem {
void SetEscapeGuardTime(double seconds) { g_guardTime = seconds > 0 ? seconds : 0; }
double EscapeGuardTime() { return g_guardTime; }
}  // namespace korvi70::modem

int Korvi70_Modem_ZakonczTrybTransmisjiDanych(int port) {
    using namespace korvi70::modem;
    if (!ValidPort(port)) return korvi70::kRefused;
    const char escape = Korvi70_ZnakKoncaTransmisji != 0 ? Korvi70_ZnakKoncaTransmisji : kDefaultEscape;
    const char line[3] = {escape, escape, escape};  // no carriage return
    WaitForGuardTime(port);
    Reply reply;
    if (const int rc = Exchange(port, {line, sizeof line}, 10.0, true, reply); rc != korvi70::kDone) return rc;
    return HasOk(reply.View()) ? korvi70::kDone : korvi70::kNoValidReply;
}

int Korvi70_RozlaczModem(int port) {
    if (!korvi70::modem::ValidPort(port)) return korvi70::kRefused;
    Korvi70_CzasOdpowiedziModemu = 0.2;
    // Every step runs even when the one before failed: the line must be freed.
    Korvi70_Modem_ZakonczTrybTransmisjiDanych(port);
    Korvi70_Modem_OdluzSluchawke(port);
    const int rc = Korvi70_Modem_ZapUstawieniaStaleDlaKorvi70(port);
    Korvi70_CzasOdpowiedziModemu = 0.5;
    return rc;
}
