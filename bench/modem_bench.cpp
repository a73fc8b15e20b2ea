// The modem against vgx52-sim --modem over a pseudo-terminal, on the
// headless back end: how long the configuration dialog takes to open (its
// ~20 exchanges) with the read ending at the reply's final line, and with
// every exchange waiting its whole time-out; the CPU used while dialling
// waits 10 s for the remote modem; and on a line as a bench has it
// (--real-line) the opening again and the time from the dial to the
// verdict for BUSY after 1 s and CONNECT after 2 s. Goals: opening <= 0.5 s;
// CPU <= 1 % of a core during the wait; a verdict no later than 0.1 s after
// the remote modem's answer.
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

// Seconds from the call to the verdict, with the dial's result.
double Dial(int *rc) {
    ui::headless::Install();
    ui::headless::SetPollAdvance(0.05);
    const double start = platform::Timer();
    *rc = Korvi70_WybierzNumer(kPort, "5551234", 0, 0);
    return platform::Timer() - start;
}

void Close(sim::SimProcess &modem) {
    Korvi70_ZamZlacze();
    modem.Stop();
}

// On the bench's line: the configuration dialog, then a dial answered after
// `answer` seconds with `outcome` (hung up again when it connects).
bool RealLine(const std::string &log, const char *outcome, double answer, double *opening, double *verdict, int *rc) {
    sim::SimProcess modem;
    if (!Open(modem, log, {"--real-line", "--modem-dial", outcome, "--modem-dial-delay", std::to_string(answer)}))
        return false;
    *opening = OpenConfiguration();
    *verdict = Dial(rc);
    if (*rc == 0) Korvi70_RozlaczModem(kPort);
    Close(modem);
    return true;
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

    int rc = 0;
    const double cpuStart = CpuSeconds();
    const double wall = Dial(&rc);
    const double cpu = CpuSeconds() - cpuStart;
    Korvi70_RozlaczModem(kPort);
    Close(modem);
    std::printf("dialling, the remote modem answering after 10 s: result %d\n", rc);
    std::printf("  waited %.3f s, CPU %.1f ms = %.2f %% of a core   goal <= 1 %%\n", wall, cpu * 1e3,
                100.0 * cpu / wall);

    double realOpening = 0, busy = 0, connect = 0, unused = 0;
    int busyRc = -1, connectRc = -1;
    if (!RealLine(root + "/busy.log", "busy", 1.0, &realOpening, &busy, &busyRc) ||
        !RealLine(root + "/connect.log", "connect", 2.0, &unused, &connect, &connectRc))
        return 1;
    std::printf("on the bench's line (vgx52-sim --real-line):\n");
    std::printf("  configuration dialog, opening and closing: %.3f s   goal <= 0.5 s\n", realOpening);
    std::printf("  dial to verdict, BUSY after 1 s: %.3f s (result %d)   goal <= 1.1 s\n", busy, busyRc);
    std::printf("  dial to verdict, CONNECT after 2 s: %.3f s (result %d)   goal <= 2.1 s\n", connect, connectRc);
    const bool verdicts = busyRc == 3 && connectRc == 0 && busy <= 1.1 && connect <= 2.1;
    return rc == 0 && early <= 0.5 && realOpening <= 0.5 && verdicts ? 0 : 1;
}
