// Ending a connection: the escape sequence back to command mode, on hook,
// and the fixed settings again.
#include "korvi70/modem/exchange.h"
#include "korvi70/modem/modem.h"
#include "korvi70/modem/reply_rules.h"
#include "korvi70/result_codes.h"

namespace {
// The escape character before the modem's S2 has been read: the one modems
// come with.
constexpr char kDefaultEscape = '+';
}  // namespace

int Korvi70_Modem_ZakonczTrybTransmisjiDanych(int port) {
    using namespace korvi70::modem;
    if (!ValidPort(port)) return korvi70::kRefused;
    const char escape = Korvi70_ZnakKoncaTransmisji != 0 ? Korvi70_ZnakKoncaTransmisji : kDefaultEscape;
    const char line[3] = {escape, escape, escape};  // no carriage return
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
