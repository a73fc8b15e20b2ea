// The program with its Qt windows (offscreen) against vgx52-sim on a
// pseudo-terminal:
//  - start-up: from starting `vgx52 port:1` to its main window, and to the
//    first poll answered (the first poll comes one polling period, 1 s, after
//    the link opens, so the start-up work is that time less the period);
//  - idle: CPU used by the program while it polls an answering instrument
//    once a second. Goal: <= 1 % of a core.
// Usage: bench_startup [runs (5)] [idle seconds (20)]
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/bench_support.h"
#include "sim/sim_process.h"

namespace fs = std::filesystem;

namespace {

constexpr double kPollingPeriod = 1.0;  // the program's default
constexpr char kConnected[] = "text Jest połączenie z przyrządem";

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

std::string ProgramPath() {
    const char *bin = std::getenv("VGX52_BIN");
    if (bin && *bin) return std::string(bin) + "/vgx52";
    return (fs::path(sim::SimProgramPath()).parent_path() / "vgx52").string();
}

pid_t StartProgram(const std::string &trace) {
    const pid_t pid = fork();
    if (pid == 0) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        setenv("VGX52_TRACE", trace.c_str(), 1);
        unsetenv("VGX52_UI");
        const int devNull = open("/dev/null", O_WRONLY);
        dup2(devNull, STDOUT_FILENO);
        dup2(devNull, STDERR_FILENO);
        const std::string program = ProgramPath();
        execl(program.c_str(), program.c_str(), "port:1", static_cast<char *>(nullptr));
        _exit(127);
    }
    return pid;
}

void StopProgram(pid_t pid) {
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
}

double TicksOf(pid_t pid);

// Waits until the trace file holds a line containing `text`; seconds since
// `start`, or -1 after `limit` seconds.
double WaitForTrace(const std::string &trace, const char *text, Clock::time_point start, double limit) {
    while (Since(start) < limit) {
        std::ifstream in(trace);
        for (std::string line; std::getline(in, line);)
            if (text[0] == '\0' || line.find(text) != std::string::npos) return Since(start);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return -1;
}

// CPU time of a process, in seconds: the scheduler's nanoseconds summed over
// its threads where the kernel keeps them, else user and system clock ticks.
double CpuOf(pid_t pid) {
    double ns = 0;
    bool any = false;
    std::error_code error;
    for (const auto &task : fs::directory_iterator("/proc/" + std::to_string(pid) + "/task", error)) {
        std::ifstream in(task.path() / "schedstat");
        double onCpu = 0;
        if (in >> onCpu) {
            ns += onCpu;
            any = true;
        }
    }
    if (any) return ns * 1e-9;
    return TicksOf(pid);
}

double TicksOf(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string stat((std::istreambuf_iterator<char>(in)), {});
    const std::size_t close = stat.rfind(')');
    if (close == std::string::npos) return -1;
    std::vector<std::string> fields;
    std::size_t pos = close + 2;
    while (pos < stat.size()) {
        const std::size_t end = stat.find(' ', pos);
        fields.push_back(stat.substr(pos, end == std::string::npos ? std::string::npos : end - pos));
        if (end == std::string::npos) break;
        pos = end + 1;
    }
    // After the name: state is field 3, utime 14, stime 15 (numbered from 1).
    if (fields.size() < 13) return -1;
    const double ticks = static_cast<double>(sysconf(_SC_CLK_TCK));
    return (std::stod(fields[11]) + std::stod(fields[12])) / ticks;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? -1 : v[v.size() / 2];
}

}  // namespace

int main(int argc, char **argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const double idleSeconds = argc > 2 ? std::max(1.0, std::atof(argv[2])) : 20.0;
    const std::string root = bench::UseTemporaryDriveRoot();
    fs::create_directories(root + "/c/ProgramData/BRANDOLUX SoftWare Data");
    const std::string trace = root + "/trace.txt";
    if (!fs::exists(ProgramPath())) {
        std::fprintf(stderr, "no program at %s\n", ProgramPath().c_str());
        return 1;
    }

    sim::SimProcess simulator;
    std::string line;
    if (!simulator.Start(sim::SimProgramPath(), {"--com", "1"}, &line)) {
        std::fprintf(stderr, "cannot start %s\n", sim::SimProgramPath().c_str());
        return 1;
    }

    std::vector<double> shown, answered;
    for (int run = 0; run < runs; ++run) {
        fs::remove(trace);
        const Clock::time_point start = Clock::now();
        const pid_t program = StartProgram(trace);
        // The first trace line is written when the main panel is made.
        const double window = WaitForTrace(trace, "", start, 30.0);
        const double poll = WaitForTrace(trace, kConnected, start, 30.0);
        StopProgram(program);
        if (window < 0 || poll < 0) {
            std::fprintf(stderr, "run %d: the program did not show the connected state\n", run + 1);
            simulator.Stop();
            return 1;
        }
        shown.push_back(window);
        answered.push_back(poll);
    }
    std::printf("start-up, median of %d runs (offscreen):\n", runs);
    std::printf("  to the main window          %7.1f ms\n", Median(shown) * 1e3);
    std::printf("  to the first poll answered  %7.1f ms   (%.1f ms of it the %.1f s polling period)\n",
                Median(answered) * 1e3, kPollingPeriod * 1e3, kPollingPeriod);
    std::printf("  start-up work               %7.1f ms\n", (Median(answered) - kPollingPeriod) * 1e3);

    fs::remove(trace);
    const Clock::time_point start = Clock::now();
    const pid_t program = StartProgram(trace);
    if (WaitForTrace(trace, kConnected, start, 30.0) < 0) {
        StopProgram(program);
        simulator.Stop();
        std::fprintf(stderr, "the program did not connect\n");
        return 1;
    }
    const double cpuStart = CpuOf(program), simStart = CpuOf(simulator.Pid());
    const Clock::time_point idleStart = Clock::now();
    std::this_thread::sleep_for(std::chrono::duration<double>(idleSeconds));
    const double wall = Since(idleStart);
    const double cpu = CpuOf(program) - cpuStart, simCpu = CpuOf(simulator.Pid()) - simStart;
    StopProgram(program);
    simulator.Stop();

    const double share = cpu / wall * 100.0;
    std::printf("idle, polling an answering instrument once a second for %.1f s:\n", wall);
    std::printf("  program CPU %.3f s = %.2f %% of a core   goal <= 1 %%\n", cpu, share);
    std::printf("  (simulator CPU %.3f s)\n", simCpu);
    return share <= 1.0 ? 0 : 1;
}
