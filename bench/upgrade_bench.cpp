// A whole firmware upgrade of 480 pages (settings read, identify, backup, the pages
// in quarters, loader closed, settings written back; the 2-second settle
// left out) against vgx52-sim over a pseudo-terminal:
//  - paced at 38400 baud, as a ratio to the wire time of every byte the
//    link moved (goal: ratio <= 1.05);
//  - the same through a USB adapter that delivers every 16 ms (what a user
//    with an adapter at its default latency sees; --usb-latency MS for
//    another latency, e.g. 1);
//  - unpaced, in seconds.
#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "korvi70/config.h"
#include "korvi70/link.h"
#include "korvi70/traffic.h"
#include "platform/system.h"
#include "sim/sim_process.h"
#include "upgrade/upgrade_sequence.h"

namespace {

constexpr long kBaud = 38400;
constexpr int kPages = 480;
constexpr double kSerialTimeout = 0.1;  // the program's own

long g_sent = 0;
long g_received = 0;

void CountBytes(korvi70::TrafficDirection direction, const unsigned char *, int count) {
    (direction == korvi70::TrafficDirection::Sent ? g_sent : g_received) += count;
}

void NoSettle(double) {}

class CountingHooks : public upgrade::UpgradeHooks {
public:
    int pages = 0;
    int failures = 0;
    void SettingReadFailed(int, int) override { ++failures; }
    void SettingWriteFailed(int, int) override { ++failures; }
    void PageWritten(int page, int) override { pages = page + 1; }
    void TransferFailed(int, int, int, const char *) override { ++failures; }
};

// A HEX file whose data runs from 0 to 0x1DFFF: 480 pages of 256 bytes.
std::string WriteFirmware(const std::string &folder) {
    const std::string path = folder + "/bench.hex";
    std::FILE *file = std::fopen(path.c_str(), "w");
    if (file == nullptr) return {};
    int base = -1;
    for (long address = 0; address < kPages * 256L; address += 32) {
        if ((address >> 16) != base) {
            base = static_cast<int>(address >> 16);
            const unsigned sum = (0x02 + 0x04 + (base >> 8) + (base & 0xFF)) & 0xFF;
            std::fprintf(file, ":02000004%04X%02X\n", base, (0x100 - sum) & 0xFF);
        }
        unsigned sum = 32 + ((address >> 8) & 0xFF) + (address & 0xFF);
        std::fprintf(file, ":20%04lX00", address & 0xFFFF);
        for (int i = 0; i < 32; ++i) {
            const unsigned byte = static_cast<unsigned>((address + i) * 131 + (address >> 8)) & 0xFF;
            sum += byte;
            std::fprintf(file, "%02X", byte);
        }
        std::fprintf(file, "%02X\n", (0x100 - (sum & 0xFF)) & 0xFF);
    }
    std::fprintf(file, ":00000001FF\n");
    std::fclose(file);
    return path;
}

struct Run {
    bool ok = false;
    double seconds = 0;
    long sent = 0, received = 0;
    int pages = 0;
};

Run UpgradeOnce(int com, const std::vector<std::string> &simSwitches, const std::string &firmware) {
    Run run;
    sim::SimProcess simulator;
    std::vector<std::string> args = {"--com", std::to_string(com)};
    args.insert(args.end(), simSwitches.begin(), simSwitches.end());
    std::string line;
    if (!simulator.Start(sim::SimProgramPath(), args, &line)) {
        std::fprintf(stderr, "cannot start %s\n", sim::SimProgramPath().c_str());
        return run;
    }
    Korvi70_TypLacza = Korvi70_PolaczenieBezposrednieRS;
    Korvi70_NrZlacza = com;
    Korvi70_NrIdProg = 0x71;
    Korvi70_CzasOczekiwaniaRS = kSerialTimeout;
    if (Korvi70_IniZlacze(0) != 0) {
        std::fprintf(stderr, "cannot open COM%d\n", com);
        return run;
    }
    g_sent = g_received = 0;
    korvi70::SetTrafficObserver(CountBytes);
    CountingHooks hooks;
    const double start = platform::Timer();
    const int rc = upgrade::RunUpgrade(hooks, firmware.c_str());
    run.seconds = platform::Timer() - start;
    korvi70::SetTrafficObserver(nullptr);
    Korvi70_ZamZlacze();
    simulator.Stop();
    run.ok = rc == 0 && hooks.failures == 0 && hooks.pages == kPages;
    run.sent = g_sent;
    run.received = g_received;
    run.pages = hooks.pages;
    return run;
}

// The upgrade's time as a ratio to the wire time of the bytes it moved.
void PrintPaced(const char *what, const Run &run) {
    const long bytes = run.sent + run.received;
    const double wire = bytes * 10.0 / kBaud;
    std::printf("  %s: %s, %d pages, %.2f s\n", what, run.ok ? "done" : "FAILED", run.pages, run.seconds);
    std::printf("    bytes sent %ld, received %ld; wire time %.2f s\n", run.sent, run.received, wire);
    std::printf("    ratio (time / wire time): %.3f\n", wire > 0 ? run.seconds / wire : 0.0);
}

}  // namespace

int main(int argc, char **argv) {
    std::string latency = "16";  // milliseconds
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--usb-latency" && i + 1 < argc) {
            latency = argv[++i];
        } else {
            std::fprintf(stderr, "usage: bench_upgrade [--usb-latency MS]\n");
            return 2;
        }
    }
    const std::string root = bench::UseTemporaryDriveRoot();
    const std::string firmware = WriteFirmware(root);
    if (firmware.empty()) {
        std::fprintf(stderr, "cannot write the firmware file\n");
        return 1;
    }
    upgrade::SetDelayFunction(NoSettle);

    const Run paced = UpgradeOnce(6, {"--paced"}, firmware);
    const Run adapter = UpgradeOnce(6, {"--paced", "--usb-latency", latency}, firmware);
    const Run unpaced = UpgradeOnce(7, {}, firmware);

    std::printf("firmware upgrade of %d pages over a pseudo-terminal (2 s settle left out)\n", kPages);
    PrintPaced(("paced at " + std::to_string(kBaud) + " baud (goal: ratio <= 1.05)").c_str(), paced);
    PrintPaced(("the same through a USB adapter, latency " + latency + " ms").c_str(), adapter);
    std::printf("  unpaced: %s, %d pages, %.2f s (%.0f pages/s, %.0f image bytes/s)\n", unpaced.ok ? "done" : "FAILED",
                unpaced.pages, unpaced.seconds, unpaced.seconds > 0 ? unpaced.pages / unpaced.seconds : 0.0,
                unpaced.seconds > 0 ? unpaced.pages * 256.0 / unpaced.seconds : 0.0);
    return paced.ok && adapter.ok && unpaced.ok ? 0 : 1;
}
