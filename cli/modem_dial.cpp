#include "cli/modem_dial.h"

#include "korvi70/link.h"
#include "korvi70/modem/modem.h"
#include "korvi70/password.h"
#include "korvi70/result_codes.h"

namespace cli {
namespace {

constexpr int kLastModemPort = 4;

bool IsModemCommand(const std::string &command) { return command.rfind("modem-", 0) == 0; }

int Dial(const std::string &number, bool pulse, std::FILE *err) {
    const int port = Korvi70_NrZlacza;
    Korvi70_CzasOdpowiedziModemu = kModemReplyTime;
    char product[51] = "";
    if (const int rc = Korvi70_IdentyfikujModem(port, product); rc != korvi70::kDone) {
        std::fprintf(err, "vgx52ctl: no modem answers on COM%d\n", port);
        return rc;
    }
    std::fprintf(err, "modem: %s\n", product);
    std::fprintf(err, "dialling %s (%s)\n", number.c_str(), pulse ? "pulse" : "tone");
    // What the dialling pops up reaches err through the console back end.
    const int rc = Korvi70_WybierzNumer(port, number.c_str(), pulse ? 1 : 0, 0);
    if (rc != korvi70::kDone) return rc;
    std::fprintf(err, "connected at %d bps\n", Korvi70_PredkoscPolaczenia);
    // The modem's short reply time-out was for its AT exchanges: the
    // instrument's commands have the user's.
    Korvi70_PrzywrocCzasOczekiwania();
    // The echo test of the link's opening heard the modem in its command
    // mode; what counts now is whether the line behind the connection echoes.
    Korvi70_SprawCzyJestEcho();
    return rc;
}

}  // namespace

bool CheckModemUsage(const Options &options, bool commandOpensLink, ArgError &error) {
    const bool dial = !options.dial.empty();
    if (dial && !commandOpensLink) return Fail(error, options.command + " uses no link: it takes no --dial");
    if (dial && IsModemCommand(options.command))
        return Fail(error, options.command + " talks to the modem itself: it takes no --dial");
    if ((dial || IsModemCommand(options.command)) && options.port > kLastModemPort)
        return Refuse(error, "a modem is driven on COM1 to COM4, not COM" + std::to_string(options.port));
    return true;
}

int CheckModemPort(std::FILE *err) {
    if (Korvi70_NrZlacza >= 1 && Korvi70_NrZlacza <= kLastModemPort) return korvi70::kDone;
    std::fprintf(err, "vgx52ctl: a modem is driven on COM1 to COM4, not COM%d\n", Korvi70_NrZlacza);
    return korvi70::kRefused;
}

int RunDialled(const Options &options, const std::function<int()> &command, std::FILE *err, bool *dialFailed) {
    *dialFailed = true;
    if (const int rc = CheckModemPort(err); rc != korvi70::kDone) return rc;
    if (const int rc = Dial(options.dial, options.pulse, err); rc != korvi70::kDone) {
        // Not connected: the command is not run; the modem is told to hang
        // up all the same, in case it took the line.
        Korvi70_Modem_OdluzSluchawke(Korvi70_NrZlacza);
        std::fprintf(err, "vgx52ctl: dialling %s failed (%d)\n", options.dial.c_str(), rc);
        return rc;
    }
    *dialFailed = false;
    const int rc = command();
    const int hangUp = Korvi70_RozlaczModem(Korvi70_NrZlacza);
    std::fprintf(err,
                 hangUp == korvi70::kDone ? "disconnected\n" : "vgx52ctl: the modem did not confirm the disconnect\n");
    return rc;
}

}  // namespace cli
