// Modem replies: one operation of the modem's AT command layer runs and the
// modem answers it with the input's bytes.
//
// Input: one selector byte, then the reply. Selector bits 0-4 pick the
// operation (modulo their count), bit 5 sets the modem-echo flag, bit 6
// makes the line echo, bit 7 makes the read wait its whole time-out
// instead of ending at the final result line (with the time-out next to 0
// both are immediate).
//
// Every operation must end with one of its result codes, write its output
// only on 0, and keep text outputs within 50 characters and the NUL.
#include <cstring>

#include "korvi70/link.h"
#include "korvi70/modem/modem.h"
#include "platform/com.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/fuzz/reply_line.h"

namespace {

constexpr int kPort = 2;
constexpr char kUnwritten = '\x7F';
constexpr int kText = 51;
constexpr int kGuard = 16;

fuzz::ReplyLine &Line() {
    static fuzz::ReplyLine line;
    static const bool opened = [] {
        Korvi70_TypLacza = Korvi70_PolaczenieBezposrednieRS;
        Korvi70_NrZlacza = kPort;
        // As short as a time-out gets, and no guard time around the escape:
        // nothing ever waits.
        Korvi70_CzasOdpowiedziModemu = 1e-9;
        korvi70::modem::SetEscapeGuardTime(0);
        platform::AttachComDevice(kPort, &line);
        return platform::OpenComConfig(kPort, "", 38400, platform::kParityNone, 8, 1, 1024, 1024) == 0 &&
               platform::SetComTime(kPort, 0) == 0;
    }();
    FUZZ_CHECK(opened);
    return line;
}

bool IsResult(int rc) { return rc == 0 || rc == 2 || rc == 3; }

// A text output: untouched unless the result is 0, then at most 50
// characters and the NUL, the guard after the 51 bytes never written.
void CheckText(int rc, const char (&text)[kText + kGuard]) {
    FUZZ_CHECK(IsResult(rc));
    for (int i = kText; i < kText + kGuard; ++i) FUZZ_CHECK(text[i] == kUnwritten);
    if (rc != 0) {
        for (int i = 0; i < kText; ++i) FUZZ_CHECK(text[i] == kUnwritten);
        return;
    }
    FUZZ_CHECK(std::memchr(text, '\0', kText) != nullptr);
}

template <class T>
void CheckValue(int rc, T value, T unwritten) {
    FUZZ_CHECK(IsResult(rc));
    if (rc != 0) FUZZ_CHECK(value == unwritten);
}

using TextOperation = int (*)(int port, char *text);
int StoredNumber(int port, char *text) { return Korvi70_Modem_PodNrTelZPamieci(port, 1, text); }

void Text(TextOperation operation) {
    char text[kText + kGuard];
    std::memset(text, kUnwritten, sizeof text);
    CheckText(operation(kPort, text), text);
}

void Run(int which) {
    int n = -7;
    char c = kUnwritten;
    double d = -7;
    switch (which) {
    case 0: return Text(Korvi70_Modem_PodProductType);
    case 1: return Text(Korvi70_IdentyfikujModem);
    case 2: return Text(StoredNumber);
    case 3: return CheckValue(Korvi70_Modem_PodOdbierzPolaczeniePoSygnalach(kPort, &n), n, -7);
    case 4: return CheckValue(Korvi70_Modem_PodZnakKoncaTransmisjiDanych(kPort, &c), c, kUnwritten);
    case 5: return CheckValue(Korvi70_Modem_PodCzasOczekiwaniaNaPolaczenie(kPort, &n), n, -7);
    case 6: return CheckValue(Korvi70_Modem_PodCzasTrwaniaPauzy(kPort, &n), n, -7);
    case 7: return CheckValue(Korvi70_Modem_PodMaxCzasZaklocenNaLaczu(kPort, &d), d, -7.0);
    case 8: FUZZ_CHECK(IsResult(Korvi70_Modem_ZapUstawieniaStaleDlaKorvi70(kPort))); return;
    case 9: FUZZ_CHECK(IsResult(Korvi70_Modem_ZapNrTelDoPamieci(kPort, 3, "0W5551234"))); return;
    case 10: FUZZ_CHECK(IsResult(Korvi70_Modem_ZakonczTrybTransmisjiDanych(kPort))); return;
    case 11: FUZZ_CHECK(IsResult(Korvi70_Modem_MinPredNaLaczuTelefon(kPort, 14))); return;
    default: FUZZ_CHECK(IsResult(Korvi70_Modem_ZapMaxCzasZaklocenNaLaczu(kPort, 25.5))); return;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size == 0) return 0;
    fuzz::ReplyLine &line = Line();
    const unsigned selector = data[0];
    Korvi70_EchoModemu = (selector & 0x20) != 0 ? 1 : 0;
    korvi70::modem::SetEarlyEnd((selector & 0x80) == 0);
    line.Arm(fuzz::AsText(data + 1, size - 1), (selector & 0x40) != 0);
    Run(static_cast<int>(selector & 0x1F) % 13);
    return 0;
}
