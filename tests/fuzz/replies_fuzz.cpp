// Instrument replies on a direct serial link: one command runs and the
// instrument answers it with the input's bytes.
//
// Input: one selector byte, then the bytes the line gives back. Selector
// bits 0-4 pick the command (modulo their count), bit 5 makes the program
// believe the line echoes, bit 6 makes the line echo. Transaction numbers
// are fixed at 0x29, so a real reply frame in a seed is accepted.
//
// Every command must end with one of its result codes, with outputs inside
// their field's range, and without waiting: the port's time-out is 0.
#include <cmath>
#include <cstring>
#include <string_view>

#include "korvi70/generic_commands.h"
#include "korvi70/link.h"
#include "korvi70/loader_commands.h"
#include "korvi70/password.h"
#include "korvi70/transaction.h"
#include "platform/com.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/fuzz/reply_line.h"
#include "upgrade/level1_loader.h"
#include "vgx52/registers.h"

namespace {

// Korvi70_NOP works on COM1 to COM4 only.
constexpr int kPort = 3;
constexpr unsigned char kInstrument = 0;

fuzz::ReplyLine &Line() {
    static fuzz::ReplyLine line;
    static const bool opened = [] {
        korvi70::SetTransactionSource([] { return 0x29; });
        Korvi70_TypLacza = Korvi70_PolaczenieBezposrednieRS;
        Korvi70_NrZlacza = kPort;
        Korvi70_NrIdProg = 0x71;
        // Restored after the level-1 page write's longer wait.
        Korvi70_CzasOczekiwaniaRS = 0;
        platform::AttachComDevice(kPort, &line);
        return platform::OpenComConfig(kPort, "", 38400, platform::kParityNone, 8, 1, 1024, 1024) == 0 &&
               platform::SetComTime(kPort, 0) == 0;
    }();
    FUZZ_CHECK(opened);
    return line;
}

// A numbered command: 0 done, 2 and 3 the link's failures, anything else
// the instrument's status byte as it came.
bool IsStatusOrDone(int rc) { return rc >= 0 && rc <= 255; }
bool IsLegacyResult(int rc) { return rc == 0 || rc == 2 || rc == 3; }
// A text field as it came: exactly `width` characters and the terminator.
bool Terminated(const char *text, int width) { return text[width] == '\0'; }
// A value that came as a single-precision pattern.
bool IsSingle(double value) { return std::isnan(value) || static_cast<double>(static_cast<float>(value)) == value; }

int Identify() {
    int type = -1;
    const int rc = Korvi70_PrzedstawSie(kInstrument, &type);
    if (rc == 0) FUZZ_CHECK(type >= 0 && type <= 0xFFFF);
    return rc;
}

int ReadId() {
    unsigned char id = 0;
    return Korvi70_PodNrId(&id);
}

int ReadSerial() {
    char text[Korvi70_DlugoscNumeruSeryjnego + 1];
    std::memset(text, 'x', sizeof text);
    const int rc = Korvi70_PodNumerSeryjny(kInstrument, text);
    if (rc == 0) FUZZ_CHECK(Terminated(text, Korvi70_DlugoscNumeruSeryjnego));
    return rc;
}

int ReadClock() {
    char text[Korvi70_DlugoscCzasuDaty + 1];
    std::memset(text, 'x', sizeof text);
    const int rc = Korvi70_PodCzasDate(kInstrument, text);
    if (rc == 0) FUZZ_CHECK(Terminated(text, Korvi70_DlugoscCzasuDaty));
    return rc;
}

int ReadBasic() {
    double value = 0;
    const int rc = Korvi70_PodWartPodstawowa(kInstrument, &value);
    if (rc == 0) FUZZ_CHECK(IsSingle(value));
    return rc;
}

int WriteSerial() { return Korvi70_ZapNumerSeryjny(kInstrument, "VG520001"); }

int ReadCode() {
    int value = 0;
    return VGX52_PodKod(kInstrument, 'A', &value);
}

int ReadReal() {
    double value = 0;
    const int rc = VGX52_PodWartFloat(kInstrument, 'E', &value);
    if (rc == 0) FUZZ_CHECK(IsSingle(value));
    return rc;
}

int WriteReal() { return VGX52_ZapWartFloat(kInstrument, 'a', 287.055); }

int ReadInteger() {
    int value = 0;
    const int rc = VGX52_PodWartInt(kInstrument, 'A', &value);
    if (rc == 0) FUZZ_CHECK(value >= -32768 && value <= 32767);
    return rc;
}

int ReadCalibration() {
    double value = 0;
    const int rc = VGX52_PodKrokWzorCisn(kInstrument, 1, 'A', &value);
    if (rc == 0) FUZZ_CHECK(IsSingle(value));
    return rc;
}

int ReadSoftwareVersion() {
    int version = -1;
    const int rc = Korvi70_PodWerOprogWewn(kInstrument, &version);
    if (rc == 0) FUZZ_CHECK(version >= 0 && version <= 0xFFFF);
    return rc;
}

int ReadSubDeviceCount() {
    int count = -1;
    const int rc = Korvi70_PodIleUrzadPodrzed(kInstrument, &count);
    if (rc == 0) FUZZ_CHECK(count >= 0 && count <= 255);
    return rc;
}

int ReadSubDevice() {
    unsigned char code1 = 0, code2 = 0;
    int value1 = -1, value2 = -1;
    char text[Korvi70_RozmiarTekstuUrzadPodrzed];
    std::memset(text, 'x', sizeof text);
    const int rc = Korvi70_PodIlnfoOUrzadPodrzed(kInstrument, 1, &code1, &code2, &value1, &value2, text);
    if (rc == 0) {
        FUZZ_CHECK(value1 >= 0 && value1 <= 0xFFFF && value2 >= 0 && value2 <= 0xFFFF);
        FUZZ_CHECK(Terminated(text, Korvi70_RozmiarTekstuUrzadPodrzed - 1));
    }
    return rc;
}

int ReadRestartCode() {
    unsigned char code = 0;
    return Korvi70_PodKodRestartu(kInstrument, &code);
}

int StartLoader() { return Korvi70_UruchomUpgradeLoader(kInstrument); }
int StartLoader2() { return Korvi70_UruchomUpgradeLoaderL2(kInstrument); }

int WriteFlashBuffer() {
    unsigned char data[16];
    for (int i = 0; i < 16; ++i) data[i] = static_cast<unsigned char>(i * 17);
    return Korvi70_ZapiszDoBuforaPamieciFLASHUL2(kInstrument, 0x0100, 16, data);
}

// Legacy frames: 0 done, 2 a flush failed, 3 no valid reply.
int Password() { return Korvi70_PodajeHaslo(5); }
int ClearPassword() { return Korvi70_KasujHaslo(5); }
int NoOperation() { return Korvi70_NOP(5); }

// The echo test run when the port opens.
int EchoTest() {
    const int rc = Korvi70_SprawCzyJestEcho();
    FUZZ_CHECK(rc == 0 || rc == 2);
    FUZZ_CHECK(Korvi70_JestEcho == 0 || Korvi70_JestEcho == 1);
    return 0;
}

// The level-1 loader's own messages: 0 or -1.
int EndLoader() {
    const int rc = UpLoad_ZakonczPraceUpgradeLoader();
    FUZZ_CHECK(rc == 0 || rc == -1);
    return 0;
}

// One flash page to the level-1 loader: 0 or -1. The loader's answer is
// awaited for 3 s, so it runs only when something comes back at once.
int WritePage() {
    unsigned char page[256];
    for (int i = 0; i < 256; ++i) page[i] = static_cast<unsigned char>(255 - i);
    const int rc = UpLoad_ZapStronePamieci(0x1E0, page, 256);
    FUZZ_CHECK(rc == 0 || rc == -1);
    return 0;
}

enum class Kind { Numbered, Legacy, Own };

struct Command {
    int (*run)();
    Kind kind;
};

constexpr Command kCommands[] = {
    {Identify, Kind::Numbered},
    {ReadId, Kind::Numbered},
    {ReadSerial, Kind::Numbered},
    {ReadClock, Kind::Numbered},
    {ReadBasic, Kind::Numbered},
    {WriteSerial, Kind::Numbered},
    {ReadCode, Kind::Numbered},
    {ReadReal, Kind::Numbered},
    {WriteReal, Kind::Numbered},
    {ReadInteger, Kind::Numbered},
    {ReadCalibration, Kind::Numbered},
    {ReadSoftwareVersion, Kind::Numbered},
    {ReadSubDeviceCount, Kind::Numbered},
    {ReadSubDevice, Kind::Numbered},
    {ReadRestartCode, Kind::Numbered},
    {StartLoader, Kind::Numbered},
    {StartLoader2, Kind::Numbered},
    {WriteFlashBuffer, Kind::Numbered},
    {Password, Kind::Legacy},
    {ClearPassword, Kind::Legacy},
    {NoOperation, Kind::Legacy},
    {EchoTest, Kind::Own},
    {EndLoader, Kind::Own},
    {WritePage, Kind::Own},
};
constexpr int kCommandCount = static_cast<int>(std::size(kCommands));

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size == 0) return 0;
    fuzz::ReplyLine &line = Line();
    const unsigned selector = data[0];
    const std::string_view reply = fuzz::AsText(data + 1, size - 1);

    line.Arm(reply, (selector & 0x40) != 0);
    Korvi70_JestEcho = (selector & 0x20) != 0 ? 1 : 0;
    Korvi70_BladLacza = 0;

    const Command &command = kCommands[(selector & 0x1F) % kCommandCount];
    if (command.run == WritePage && reply.empty() && (selector & 0x40) == 0) return 0;
    const int rc = command.run();
    switch (command.kind) {
    case Kind::Numbered: FUZZ_CHECK(IsStatusOrDone(rc)); break;
    case Kind::Legacy: FUZZ_CHECK(IsLegacyResult(rc)); break;
    case Kind::Own: break;
    }
    FUZZ_CHECK(line.BytesWritten() > 0);
    return 0;
}
