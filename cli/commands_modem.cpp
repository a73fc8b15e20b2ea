// The dial-up modem on the link's port, in its command mode: what it is and
// how it is set, and storing a telephone number in its memory.
#include <string>

#include "cli/command_table.h"
#include "cli/modem_dial.h"
#include "cli/options.h"
#include "korvi70/link.h"
#include "korvi70/modem/modem.h"
#include "korvi70/result_codes.h"

namespace cli {
namespace {

using Args = std::vector<std::string>;

bool ParseNone(const Args &args, Params &, ArgError &error) { return ExpectCount(args, 0, "", error); }

bool ParseStore(const Args &args, Params &params, ArgError &error) {
    if (!ExpectCount(args, 2, "SLOT NUMBER", error)) return false;
    if (!ArgInt(args[0], 0, 3, "SLOT", params.number[0], error)) return false;
    params.text = args[1];
    if (params.text.size() > 50) return Fail(error, "NUMBER must be at most 50 characters");
    for (char c : params.text)
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7E)
            return Fail(error, "NUMBER must be printable characters");
    return true;
}

// Identifies the modem; its product text, or the result code.
int Identify(const Context &context, char *product) {
    if (const int rc = CheckModemPort(context.err); rc != korvi70::kDone) return rc;
    Korvi70_CzasOdpowiedziModemu = kModemReplyTime;
    const int rc = Korvi70_IdentyfikujModem(Korvi70_NrZlacza, product);
    if (rc != korvi70::kDone) std::fprintf(context.err, "vgx52ctl: no modem answers on COM%d\n", Korvi70_NrZlacza);
    return rc;
}

int RunInfo(const Context &context, const Params &) {
    const int port = Korvi70_NrZlacza;
    char text[51] = "";
    if (const int rc = Identify(context, text); rc != korvi70::kDone) return rc;
    std::fprintf(context.out, "product\t%s\n", text);
    int first = korvi70::kDone;
    const auto line = [&](int rc, const char *name, const std::string &value) {
        std::fprintf(context.out, "%s\t%s\n", name, rc == korvi70::kDone ? value.c_str() : "?");
        if (first == korvi70::kDone) first = rc;
    };
    int value = 0;
    char escape = 0;
    double seconds = 0;
    int rc = Korvi70_Modem_PodOdbierzPolaczeniePoSygnalach(port, &value);
    line(rc, "S0", std::to_string(value));
    rc = Korvi70_Modem_PodZnakKoncaTransmisjiDanych(port, &escape);
    line(rc, "S2", std::string(1, escape) + " " + std::to_string(static_cast<unsigned char>(escape)));
    rc = Korvi70_Modem_PodCzasOczekiwaniaNaPolaczenie(port, &value);
    line(rc, "S7", std::to_string(value));
    rc = Korvi70_Modem_PodCzasTrwaniaPauzy(port, &value);
    line(rc, "S8", std::to_string(value));
    rc = Korvi70_Modem_PodMaxCzasZaklocenNaLaczu(port, &seconds);
    char tenth[16];
    std::snprintf(tenth, sizeof tenth, "%.1f", seconds);
    line(rc, "S10", tenth);
    for (int slot = 0; slot < 4; ++slot) {
        text[0] = '\0';
        rc = Korvi70_Modem_PodNrTelZPamieci(port, static_cast<char>(slot), text);
        line(rc, ("number" + std::to_string(slot)).c_str(), text);
    }
    return first;
}

int RunStore(const Context &context, const Params &params) {
    char product[51];
    if (const int rc = Identify(context, product); rc != korvi70::kDone) return rc;
    return Korvi70_Modem_ZapNrTelDoPamieci(Korvi70_NrZlacza, static_cast<char>(params.number[0]), params.text.c_str());
}

const Command kModemCommands[] = {
    {"modem-info", "", "the modem's product text, S0, S2, S7, S8, S10 and stored numbers", ParseNone, RunInfo},
    {"modem-store", "SLOT NUMBER", "store a telephone number in the modem's memory slot 0..3", ParseStore, RunStore},
};

}  // namespace

std::span<const Command> ModemCommandTable() { return kModemCommands; }

}  // namespace cli
