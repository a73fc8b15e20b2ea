#include "korvi70/config.h"
#include "korvi70/link.h"
#include "ui/ui.h"

#include <cstring>

namespace korvi70 {

void AskForLinkType() {
    const int button = ui::GenericMessagePopup("Wybierz typ połączenia.", "Sposób realizacji sieci Korvi70.",
                                               "bezpośrednie połączenia przez RS",
                                               "poprzez sieć TCP i server TCPKorvi70", nullptr, nullptr, 0,
                                               /*enterButton=*/1, /*escapeButton=*/1);
    // Only the second button chooses TCP; the modem cannot be chosen here.
    Korvi70_TypLacza = button == 2 ? Korvi70_PolaczeniePrzezKorviTCP : Korvi70_PolaczenieBezposrednieRS;
}

}  // namespace korvi70

void Korvi70_OdczytajKonfiguracjeKorvi70() {
    if (Korvi70_OdczytajZbiorKonfig() != 0)
        std::strcpy(Korvi70_NazwaZbioruZGrafika, "P:\\Korvi70\\SoftWare\\LWCVI\\Korvi70G.UIR");
    if (Korvi70_CzyPytacOPolaczenie == 1) korvi70::AskForLinkType();
}
