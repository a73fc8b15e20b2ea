// vgx52ctl serve: the delay a transaction gains through the server on the
// loopback interface, against the same transaction on the serial line
// (the simulator on a pseudo-terminal, paced at 38400 baud and unpaced),
// and the CPU the server uses while 8 clients sit connected without a word.
// Goals: <= 1 ms added per transaction; about 0 CPU while idle.
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "bench/bench_support.h"
#include "korvi70/config.h"
#include "korvi70/generic_commands.h"
#include "korvi70/link.h"
#include "platform/socket_sys.h"
#include "platform/system.h"
#include "sim/sim_process.h"

namespace {

constexpr int kCom = 7;
constexpr int kRounds = 200;

std::string Program(const char *name) {
    const std::string sim = sim::SimProgramPath();
    return sim.substr(0, sim.rfind('/') + 1) + name;
}

// Median seconds of one identify on the open link; -1 when one failed.
double MedianIdentify() {
    std::vector<double> times;
    for (int i = 0; i < kRounds + 10; ++i) {
        int type = 0;
        const double start = platform::Timer();
        if (Korvi70_PrzedstawSie(0, &type) != 0) return -1;
        if (i >= 10) times.push_back(platform::Timer() - start);  // the first ones settle
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

double Direct() {
    Korvi70_TypLacza = Korvi70_PolaczenieBezposrednieRS;
    Korvi70_NrZlacza = kCom;
    Korvi70_CzasOczekiwaniaRS = 0.5;
    if (Korvi70_IniZlacze(0) != 0) return -1;
    const double t = MedianIdentify();
    Korvi70_ZamZlacze();
    return t;
}

double Through(int port) {
    Korvi70_TypLacza = Korvi70_PolaczeniePrzezKorviTCP;
    Korvi70_NrPortuTCP = port;
    std::snprintf(Korvi70_NazwaServeraKorviTCP, sizeof Korvi70_NazwaServeraKorviTCP, "127.0.0.1");
    if (Korvi70_IniZlacze(0) != 0) return -1;
    const double t = MedianIdentify();
    Korvi70_ZamZlacze();
    return t;
}

// User and system CPU seconds a process has used so far.
double ProcessCpu(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), {});
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string skip;
    for (int i = 0; i < 11; ++i) fields >> skip;  // state .. cmajflt
    double user = 0, system = 0;
    fields >> user >> system;
    return (user + system) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

bool Measure(const char *what, const std::vector<std::string> &simSwitches, bool idleCpu) {
    sim::SimProcess simulator, server;
    std::string line;
    std::vector<std::string> args = {"--com", std::to_string(kCom)};
    args.insert(args.end(), simSwitches.begin(), simSwitches.end());
    if (!simulator.Start(sim::SimProgramPath(), args, &line)) {
        std::fprintf(stderr, "cannot start %s\n", sim::SimProgramPath().c_str());
        return false;
    }
    const double direct = Direct();
    if (!server.Start(Program("vgx52ctl"), {"--port", std::to_string(kCom), "serve", "--listen", "127.0.0.1:0"},
                      &line)) {
        std::fprintf(stderr, "cannot start vgx52ctl serve\n");
        return false;
    }
    const int port = sim::SimProcess::PortOf(line);
    const double through = Through(port);
    std::printf("identify, %s (median of %d)\n", what, kRounds);
    std::printf("  serial line %.3f ms, through the server %.3f ms: %+.3f ms added   goal <= 1 ms\n", direct * 1e3,
                through * 1e3, (through - direct) * 1e3);
    bool ok = direct > 0 && through > 0;

    if (idleCpu) {
        namespace net = platform::detail;
        std::vector<net::SocketHandle> clients;
        for (int i = 0; i < 8; ++i) {
            sockaddr_in address{};
            address.sin_family = AF_INET;
            address.sin_port = htons(static_cast<unsigned short>(port));
            address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            const net::SocketHandle s = net::OpenStreamSocket(AF_INET, 0);
            if (net::ConnectWithin(s, reinterpret_cast<sockaddr *>(&address), sizeof address, 2.0) == 1)
                clients.push_back(s);
        }
        platform::Delay(0.5);
        const double seconds = 10;
        const double before = ProcessCpu(server.Pid());
        platform::Delay(seconds);
        const double used = ProcessCpu(server.Pid()) - before;
        std::printf("  %zu clients connected and silent for %.0f s: server CPU %.1f ms   goal about 0\n",
                    clients.size(), seconds, used * 1e3);
        ok = ok && clients.size() == 8;
        for (net::SocketHandle s : clients) net::CloseSocket(s);
    }
    server.Stop();
    simulator.Stop();
    return ok;
}

}  // namespace

int main() {
    bench::UseTemporaryDriveRoot();
    const bool unpaced = Measure("unpaced line", {}, true);
    const bool paced = Measure("line paced at 38400 baud", {"--paced"}, false);
    return unpaced && paced ? 0 : 1;
}
