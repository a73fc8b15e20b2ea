// The model table and the description built from a type code.
#include "korvi70/model_names.h"

#include <array>
#include <cstdio>
#include <string>

#include "platform/utf8.h"

namespace {

// Row n describes the models with type codes 8n .. 8n+7.
constexpr std::array<const char *, Korvi70_LiczbaModeli> kModels = {
    "Miernik temperatury jednokanałowy",            // 1
    "Miernik temperatury wielokanałowy",            // 2
    "Rejestrator temperatury, wersja ",             // 3
    "Miernik ciśnienia bezwzględnego",              // 4
    "Miernik ciśnienia różnicowego",                // 5
    "Miernik wilgotności względnej",                // 6
    "Miernik punktu rosy",                          // 7
    "Miernik przepływu gazu",                       // 8
    "Miernik parametrów gazu, model VGX50",         // 9
    "Miernik gęstości cieczy",                      // 10
    "Miernik poziomu cieczy",                       // 11
    "Miernik przewodności",                         // 12
    "Rejestrator danych pomiarowych, wersja ",      // 13
    "Przetwornik temperatury z wyjściem prądowym",  // 14
    "Przetwornik ciśnienia z wyjściem prądowym",    // 15
    "Przetwornik wilgotności z wyjściem prądowym",  // 16
    "Moduł wejść analogowych",                      // 17
    "Moduł wyjść analogowych",                      // 18
    "Moduł wejść dwustanowych",                     // 19
    "Moduł wyjść przekaźnikowych",                  // 20
    "Moduł wejść licznikowych",                     // 21
    "Moduł wejść termoparowych",                    // 22
    "Moduł wejść rezystancyjnych",                  // 23
    "Moduł pamięci danych",                         // 24
    "Moduł zegara czasu rzeczywistego",             // 25
    "Moduł wyświetlacza",                           // 26
    "Moduł klawiatury",                             // 27
    "Konwerter RS-232 / RS-485",                    // 28
    "Konwerter USB / RS-485",                       // 29
    "Serwer sieciowy TCP, wersja ",                 // 30
    "Wzmacniacz linii RS-485",                      // 31
    "Modem linii telefonicznej",                    // 32
    "Zasilacz sieciowy",                            // 33
    "Zasilacz buforowy z akumulatorem",             // 34
    "Sonda temperatury",                            // 35
    "Sonda wilgotności i temperatury",              // 36
    "Czujnik ciśnienia",                            // 37
    "Czujnik przepływu",                            // 38
    "Termometr wzorcowy",                           // 39
    "Manometr wzorcowy",                            // 40
    "Kalibrator temperatury, wersja ",              // 41
    "Kalibrator ciśnienia, wersja ",                // 42
    "Kalibrator sygnałów prądowych",                // 43
    "Regulator temperatury",                        // 44
    "Regulator ciśnienia",                          // 45
    "Sterownik zaworów",                            // 46
    "Sterownik pomp",                               // 47
    "Licznik energii cieplnej",                     // 48
    "Licznik objętości gazu",                       // 49
    "Przelicznik objętości gazu",                   // 50
    "Analizator składu gazu",                       // 51
    "Miernik wartości opałowej gazu",               // 52
    "Miernik gęstości gazu, wersja ",               // 53
    "Miernik parametrów gazu, model VGX52",         // 54
    "Miernik lepkości gazu",                        // 55
    "Stanowisko pomiarowe",                         // 56
    "Urządzenie testowe",                           // 57
};

// Every row fits the description's share of the caller's buffer.
static_assert([] {
    for (const char *row : kModels)
        if (std::char_traits<char>::length(row) > static_cast<std::size_t>(Korvi70_MaksDlugoscOpisuModelu))
            return false;
    return true;
}());

constexpr char kUnknown[] = "Przyrząd nieznany";

}  // namespace

namespace korvi70 {

const char *ModelDescription(int model) {
    if (model < 1 || model > Korvi70_LiczbaModeli) return nullptr;
    return kModels[static_cast<std::size_t>(model - 1)];
}

void ExpandInstrumentName(int typeCode, int softwareVersion, char *text, std::size_t size) {
    platform::TextBuffer out(text, size);
    // Negative codes are no model: keep the division away from them.
    const char *row = typeCode >= 0 ? ModelDescription(typeCode / 8) : nullptr;
    if (row == nullptr) {
        out.Append(kUnknown);
        return;
    }
    out.Append(row);
    char piece[32];
    std::snprintf(piece, sizeof piece, "; H.Ver.:%d", typeCode % 8 + 1);
    out.Append(piece);
    if (softwareVersion != 0) {
        std::snprintf(piece, sizeof piece, "; S.Ver.:%d", softwareVersion);
        out.Append(piece);
    }
}

}  // namespace korvi70

int Korvi70_RozszerzNazwePrzyrzadu(int typeCode, char *text, int softwareVersion) {
    korvi70::ExpandInstrumentName(typeCode, softwareVersion, text, Korvi70_RozmiarNazwyPrzyrzadu);
    return 0;
}
