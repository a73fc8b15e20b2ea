// The shared connection configuration "C:\Korvi70.Kfg", read from a drive
// root of this process: every setting ends within its range, and the texts
// within their buffers.
#include <stdlib.h>

#include <cmath>
#include <cstring>
#include <filesystem>

#include "korvi70/config.h"
#include "korvi70/link.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

// Drive C: of the drive root is <root>/c.
bool MakeDriveRoot() {
    const std::string root = fuzz::TempFolder() + "/root";
    std::filesystem::create_directories(root + "/c");
    return setenv("VGX52_ROOT", root.c_str(), 1) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    static const bool ready = MakeDriveRoot();
    FUZZ_CHECK(ready);
    fuzz::WriteTempFile("root/c/Korvi70.Kfg", fuzz::AsText(data, size));
    FUZZ_CHECK(Korvi70_OdczytajZbiorKonfig() == 0);

    FUZZ_CHECK(Korvi70_TypLacza <= Korvi70_PolaczeniePrzezKorviTCP);
    FUZZ_CHECK(Korvi70_NrZlacza >= 1 && Korvi70_NrZlacza <= 100);
    FUZZ_CHECK(Korvi70_CzasOczekiwaniaRS >= 0.05 && Korvi70_CzasOczekiwaniaRS <= 5.0);
    FUZZ_CHECK(std::isfinite(Korvi70_TCPIP_TimeOut) && Korvi70_TCPIP_TimeOut >= 5.0);
    FUZZ_CHECK(Korvi70_CzyPytacOPolaczenie == 0 || Korvi70_CzyPytacOPolaczenie == 1);
    FUZZ_CHECK(strnlen(Korvi70_NazwaServeraKorviTCP, sizeof Korvi70_NazwaServeraKorviTCP) <
               sizeof Korvi70_NazwaServeraKorviTCP);
    FUZZ_CHECK(strnlen(Korvi70_NazwaZbioruZGrafika, sizeof Korvi70_NazwaZbioruZGrafika) <
               sizeof Korvi70_NazwaZbioruZGrafika);
    // Names are words: the file's reader never keeps a blank inside one.
    FUZZ_CHECK(std::strchr(Korvi70_NazwaServeraKorviTCP, ' ') == nullptr);
    FUZZ_CHECK(fuzz::IsValidUtf8(Korvi70_NazwaZbioruZGrafika) && fuzz::IsValidUtf8(Korvi70_NazwaServeraKorviTCP));
    return 0;
}
