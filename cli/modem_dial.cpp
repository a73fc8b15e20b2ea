#include "cli/modem_dial.h"

#include "korvi70/link.h"
#include "korvi70/modem/modem.h"
#include "korvi70/result_codes.h"
#include "ui/headless.h"

namespace cli {
namespace {

// What the dialling showed as popups, as "title: text" lines.
void ReportPopups(std::FILE *err, std::size_t from) {
    const auto &popups = ui::headless::Popups();
    for (std::size_t i = from; i < popups.size(); ++i)
        std::fprintf(err, "%s: %s\n", popups[i].request.title.c_str(), popups[i].request.message.c_str());
}

}  // namespace

int DialModem(const std::string &number, bool pulse, std::FILE *err) {
    const int port = Korvi70_NrZlacza;
    Korvi70_CzasOdpowiedziModemu = kModemReplyTime;
    char product[51] = "";
    if (const int rc = Korvi70_IdentyfikujModem(port, product); rc != korvi70::kDone) {
        std::fprintf(err, "vgx52ctl: no modem answers on COM%d\n", port);
        return rc;
    }
    std::fprintf(err, "modem: %s\n", product);
    std::fprintf(err, "dialling %s (%s)\n", number.c_str(), pulse ? "pulse" : "tone");
    const std::size_t shown = ui::headless::Popups().size();
    const int rc = Korvi70_WybierzNumer(port, number.c_str(), pulse ? 1 : 0, 0);
    ReportPopups(err, shown);
    if (rc != korvi70::kDone) return rc;
    std::fprintf(err, "connected at %d bps\n", Korvi70_PredkoscPolaczenia);
    // The echo test of the link's opening heard the modem in its command
    // mode; what counts now is whether the line behind the connection echoes.
    Korvi70_SprawCzyJestEcho();
    return rc;
}

int HangUpModem(std::FILE *err) {
    const int rc = Korvi70_RozlaczModem(Korvi70_NrZlacza);
    std::fprintf(err, rc == korvi70::kDone ? "disconnected\n" : "vgx52ctl: the modem did not confirm the disconnect\n");
    return rc;
}

}  // namespace cli
