// CPU time the program uses while it waits the full 2-second TCP reply
// window of a silent gateway. Goal: <= 10 ms.
#include <time.h>

#include <cstdio>
#include <string>

#include "bench/bench_support.h"
#include "korvi70/config.h"
#include "korvi70/link.h"
#include "korvi70/transaction.h"
#include "platform/system.h"
#include "sim/sim_process.h"

namespace {

double CpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + ts.tv_nsec * 1e-9;
}

}  // namespace

int main() {
    bench::UseTemporaryDriveRoot();
    sim::SimProcess gateway;
    std::string line;
    if (!gateway.Start(sim::SimProgramPath(), {"--tcp", "0", "--gateway-silent"}, &line)) {
        std::fprintf(stderr, "cannot start %s\n", sim::SimProgramPath().c_str());
        return 1;
    }
    Korvi70_TypLacza = Korvi70_PolaczeniePrzezKorviTCP;
    Korvi70_NrPortuTCP = sim::SimProcess::PortOf(line);
    if (Korvi70_IniZlacze(0) != 0) {
        std::fprintf(stderr, "cannot connect to %s\n", line.c_str());
        return 1;
    }
    const double wallStart = platform::Timer();
    const double cpuStart = CpuSeconds();
    const int rc = korvi70::RunTransaction(0, 3, {});
    const double cpu = CpuSeconds() - cpuStart;
    const double wall = platform::Timer() - wallStart;
    Korvi70_ZamZlacze();
    gateway.Stop();

    std::printf("silent TCP gateway: result %d, error %d\n", rc, Korvi70_BladLacza);
    std::printf("  waited %.3f s, CPU %.3f ms   goal <= 10 ms\n", wall, cpu * 1e3);
    return rc == 2 ? 0 : 1;
}
