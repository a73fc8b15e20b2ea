#include "korvi70/password.h"

#include "korvi70/legacy.h"
#include "korvi70/link.h"
#include "korvi70/result_codes.h"
#include "platform/com.h"

namespace {

constexpr char kPassword[] = "VelmoKarn";

bool AddressInRange(int address) { return address >= 2 && address <= 255; }

int SetPortTimeOut(double seconds) {
    if (Korvi70_TypLacza != Korvi70_PolaczenieBezposrednieRS) return 0;
    return platform::SetComTime(Korvi70_NrZlacza, seconds) < 0 ? -1 : 0;
}

}  // namespace

int Korvi70_PodajeHaslo(int address) {
    if (!AddressInRange(address)) return korvi70::kRefused;
    return korvi70::RunLegacy(static_cast<unsigned char>(address), 'D', kPassword,
                              korvi70::LegacyOrder::TerminatorThenFlush);
}

int Korvi70_KasujHaslo(int address) {
    if (!AddressInRange(address)) return korvi70::kRefused;
    return korvi70::RunLegacy(static_cast<unsigned char>(address), 'E', {}, korvi70::LegacyOrder::TerminatorThenFlush);
}

int Korvi70_ZmienCzasOczekiwania(double seconds) {
    if (!(seconds > 0)) return korvi70::kRefused;
    return SetPortTimeOut(seconds);
}

int Korvi70_PrzywrocCzasOczekiwania() { return SetPortTimeOut(Korvi70_CzasOczekiwaniaRS); }
