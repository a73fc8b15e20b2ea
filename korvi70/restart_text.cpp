// The restart code (the reset-cause flags of the instrument's AVR
// microcontroller) as a text for display.
#include "korvi70/loader_commands.h"
#include "korvi70/result_codes.h"
#include "platform/utf8.h"

namespace {

struct Cause {
    unsigned char bit;
    const char *text;
};

// Highest bit first: the order in which the causes are listed.
constexpr Cause kCauses[] = {
    {0x10, "JTAG"}, {0x08, "WatchDog"}, {0x04, "Brown-Out"}, {0x02, "External input"}, {0x01, "Power On Reset"},
};

}  // namespace

int Korvi70_ZamienKodRestartuDoTekstu(unsigned char code, int processorType, char *text) {
    if (text == nullptr) return korvi70::kRefused;
    platform::TextBuffer out(text, Korvi70_RozmiarTekstuKoduRestartu);
    if (processorType == 2) {
        out.Append("funkcja jeszcze nie rozpisana");
        return 0;
    }
    if (processorType != 1 && processorType != 3) {
        out.Append("nieznany typ procesora");
        return 0;
    }
    for (const Cause &cause : kCauses) {
        if ((code & cause.bit) == 0) continue;
        if (out.Length() > 0) out.Append(", ");
        out.Append(cause.text);
    }
    if (out.Length() == 0) out.Append("przyczyna nieznana");
    return 0;
}
