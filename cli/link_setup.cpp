#include "cli/link_setup.h"

#include <cstdio>

#include "korvi70/config.h"
#include "korvi70/link.h"
#include "korvi70/result_codes.h"
#include "platform/com.h"

namespace cli {

int OpenLink(const Options &options, std::string &error) {
    Korvi70_OdczytajZbiorKonfig();  // missing file: the defaults stand
    Korvi70_NrIdProg = 0x71;
    Korvi70_CzasOczekiwaniaRS = options.timeout;
    if (!options.tcpHost.empty()) {
        Korvi70_TypLacza = Korvi70_PolaczeniePrzezKorviTCP;
        std::snprintf(Korvi70_NazwaServeraKorviTCP, sizeof Korvi70_NazwaServeraKorviTCP, "%s", options.tcpHost.c_str());
        Korvi70_NrPortuTCP = options.tcpPort;
    } else {
        Korvi70_TypLacza = Korvi70_PolaczenieBezposrednieRS;
        if (options.port != 0) Korvi70_NrZlacza = options.port;
    }
    if (Korvi70_IniZlacze(0) == korvi70::kDone) return korvi70::kDone;

    if (!options.tcpHost.empty()) {
        error = "cannot connect to the gateway " + options.tcpHost + ":" + std::to_string(options.tcpPort);
    } else {
        error = "cannot open COM" + std::to_string(Korvi70_NrZlacza) + " (" +
                platform::ComDevicePath(Korvi70_NrZlacza) + ")";
    }
    return korvi70::kLinkFailed;
}

void CloseLink() { Korvi70_ZamZlacze(); }

}  // namespace cli
