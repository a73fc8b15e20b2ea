// CPU time the program uses while it waits 2 s on a silent serial port: once
// in WaitForInput, once in a read that runs out its time-out. Goal: <= 10 ms
// each. The port is the program's one argument (its COM number).
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "platform/com.h"
#include "platform/system.h"

namespace {

constexpr double kWait = 2.0;

double CpuSeconds() {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
    const auto ticks = [](const FILETIME &t) {
        return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    return static_cast<double>(ticks(kernel) + ticks(user)) * 1e-7;  // 100 ns units
}

// Runs one wait; false when it ended early or with an error.
template <typename Wait>
bool Measure(const char *what, Wait wait) {
    const double wallStart = platform::Timer();
    const double cpuStart = CpuSeconds();
    const int rc = wait();
    const double cpu = CpuSeconds() - cpuStart;
    const double wall = platform::Timer() - wallStart;
    std::printf("%s: result %d, waited %.3f s, CPU %.3f ms   goal <= 10 ms\n", what, rc, wall, cpu * 1e3);
    return wall >= kWait - 0.02 && wall < kWait + 0.5;
}

}  // namespace

int main(int argc, char **argv) {
    const int port = argc > 1 ? std::atoi(argv[1]) : 0;
    if (platform::OpenComConfig(port, "", 38400, platform::kParityNone, 8, 1, 512, 512) != 0) {
        std::fprintf(stderr, "cannot open COM%d: %d\n", port, platform::ReturnRS232Err());
        return 1;
    }
    platform::FlushInQ(port);
    bool ok = Measure("WaitForInput 2 s", [&] { return platform::WaitForInput(port, kWait); });
    platform::SetComTime(port, kWait);
    ok = Measure("read time-out 2 s", [&] { return platform::ComRdByte(port); }) && ok;
    ok = ok && platform::ReturnRS232Err() == platform::kComErrTimeout;
    platform::CloseCom(port);
    return ok ? 0 : 1;
}
