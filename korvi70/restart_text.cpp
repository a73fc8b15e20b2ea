// The restart code (the reset-cause flags of the instrument's AVR
// microcontroller) as a text for display.
#include <cstdio>
#include <cstring>

#include "korvi70/loader_commands.h"
#include "korvi70/result_codes.h"

namespace {

struct Cause {
    unsigned char bit;
    const char *text;
};

// Highest bit first: the order in which the causes are listed.
constexpr Cause kCauses[] = {
    {0x10, "JTAG"}, {0x08, "WatchDog"}, {0x04, "Brown-Out"}, {0x02, "External input"}, {0x01, "Power On Reset"},
};

void Put(char *text, const char *value) { std::snprintf(text, Korvi70_RozmiarTekstuKoduRestartu, "%s", value); }

}  // namespace

int Korvi70_ZamienKodRestartuDoTekstu(unsigned char code, int processorType, char *text) {
    if (text == nullptr) return korvi70::kRefused;
    if (processorType == 2) {
        Put(text, "funkcja jeszcze nie rozpisana");
        return 0;
    }
    if (processorType != 1 && processorType != 3) {
        Put(text, "nieznany typ procesora");
        return 0;
    }
    text[0] = '\0';
    std::size_t used = 0;
    for (const Cause &cause : kCauses) {
        if ((code & cause.bit) == 0) continue;
        const int n = std::snprintf(text + used, Korvi70_RozmiarTekstuKoduRestartu - used, "%s%s",
                                    used == 0 ? "" : ", ", cause.text);
        if (n > 0) used += static_cast<std::size_t>(n);
    }
    if (used == 0) Put(text, "przyczyna nieznana");
    return 0;
}
