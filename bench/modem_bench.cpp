// The modem against vgx52-sim --modem over a pseudo-terminal, on the
// headless back end: how long the configuration dialog takes to open (its
// ~20 exchanges) with the read ending at the reply's final line, and with
// every exchange waiting its whole time-out; and the CPU used while dialling
// waits 10 s for the remote modem. Goals: opening <= 0.5 s; CPU <= 1 % of a
// core during the wait.
#include <time.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "bench/bench_support.h"
#include "korvi70/config.h"
#include "korvi70/link.h"
#include "korvi70/modem/modem.h"
#include "platform/system.h"
#include "sim/sim_process.h"
#include "ui/Korvi70G.h"
#include "ui/headless.h"
#include "ui/ui.h"

namespace {

constexpr int kPort = 2;

double CpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + ts.tv_nsec * 1e-9;
}

bool Open(sim::SimProcess &modem, const std::string &log, std::vector<std::string> switches) {
    switches.insert(switches.begin(), {"--com", std::to_string(kPort), "--modem", "--modem-log", log});
    std::string line;
    if (!modem.Start(sim::SimProgramPath(), switches, &line)) {
        std::fprintf(stderr, "cannot start %s\n", sim::SimProgramPath().c_str());
        return false;
    }
    Korvi70_NrZlacza = kPort;
    Korvi70_CzasOczekiwaniaRS = 0.2;
    if (Korvi70_IniZlacze(0) != 0) {
        std::fprintf(stderr, "cannot open COM%d\n", kPort);
        return false;
    }
    char product[51];
    Korvi70_CzasOdpowiedziModemu = 0.2;
    return Korvi70_IdentyfikujModem(kPort, product) == 0;
}

// Seconds from the call to the dialog's close, the close queued at once.
double OpenConfiguration() {
    ui::headless::Install();
    ui::headless::QueueCommit(ui::headless::ByResource(PANEL_KONF), PANEL_KONF_ZAMKNIJ);
    const double start = platform::Timer();
    Korvi70_KonfiguracjaModemu(kPort);
    return platform::Timer() - start;
}

}  // namespace

int main(int argc, char **argv) {
    const std::string root = bench::UseTemporaryDriveRoot();
    // The panels by their bare name from the source tree's copy.
    const std::string source = argc > 1 ? argv[1] : VGX52_SOURCE_DIR;
    std::filesystem::copy_file(source + "/ui/Korvi70G.Uir", root + "/Korvi70G.Uir");
    ui::SetProjectFolder(root.c_str());

    sim::SimProcess modem;
    if (!Open(modem, root + "/modem.log", {"--modem-dial-delay", "10"})) return 1;
    korvi70::modem::SetEarlyEnd(true);
    const double early = OpenConfiguration();
    korvi70::modem::SetEarlyEnd(false);
    const double whole = OpenConfiguration();
    korvi70::modem::SetEarlyEnd(true);
    std::printf("configuration dialog, opening and closing:\n");
    std::printf("  read ends at the final line: %.3f s   goal <= 0.5 s\n", early);
    std::printf("  whole time-out per exchange: %.3f s\n", whole);

    ui::headless::Install();
    ui::headless::SetPollAdvance(0.05);
    const double wallStart = platform::Timer();
    const double cpuStart = CpuSeconds();
    const int rc = Korvi70_WybierzNumer(kPort, "5551234", 0, 0);
    const double cpu = CpuSeconds() - cpuStart;
    const double wall = platform::Timer() - wallStart;
    Korvi70_RozlaczModem(kPort);
    Korvi70_ZamZlacze();
    modem.Stop();
    std::printf("dialling, the remote modem answering after 10 s: result %d\n", rc);
    std::printf("  waited %.3f s, CPU %.1f ms = %.2f %% of a core   goal <= 1 %%\n", wall, cpu * 1e3,
                100.0 * cpu / wall);
    return rc == 0 && early <= 0.5 ? 0 : 1;
}
