// The program's configuration file (VGX52.kfg): whatever it holds, the port
// and the polling period end within their ranges, and the file the program
// writes back reads back to the same settings.
#include <cmath>
#include <cstdio>

#include "app/app_state.h"
#include "app/config_file.h"
#include "korvi70/link.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

void CheckRanges() {
    FUZZ_CHECK(Korvi70_NrZlacza >= app::kPortMin && Korvi70_NrZlacza <= app::kPortMax);
    FUZZ_CHECK(OkresOdpytywania >= app::kPeriodMin && OkresOdpytywania <= app::kPeriodMax);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string path = fuzz::WriteTempFile("VGX52.kfg", fuzz::AsText(data, size));
    FUZZ_CHECK(OdczytanieZbioruKonfiguracyjnego(path.c_str()) == 0);
    CheckRanges();

    const int port = Korvi70_NrZlacza;
    const double period = OkresOdpytywania;
    const std::string saved = fuzz::TempFolder() + "/saved.kfg";
    FUZZ_CHECK(ZapiszZbiorKonfiguracyjny(saved.c_str()) == 0);
    FUZZ_CHECK(OdczytanieZbioruKonfiguracyjnego(saved.c_str()) == 0);
    CheckRanges();
    FUZZ_CHECK(Korvi70_NrZlacza == port);
    // The file keeps six decimals.
    FUZZ_CHECK(std::fabs(OkresOdpytywania - period) <= 0.5e-6 * (1 + 1e-9));
    return 0;
}
