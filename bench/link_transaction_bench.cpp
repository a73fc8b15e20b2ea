// One identify transaction against the simulator paced at 38400 baud over a
// pseudo-terminal, as a ratio to the wire time of the bytes exchanged.
// Goal: ratio <= 1.05.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "korvi70/config.h"
#include "korvi70/link.h"
#include "korvi70/transaction.h"
#include "platform/system.h"
#include "sim/sim_process.h"

namespace {

constexpr int kCom = 5;
constexpr int kRounds = 60;
constexpr long kBaud = 38400;
// Request: preamble 3 + header 8 + check 2 + terminator 1.
// Reply: lead-in 3 + header 8 + type code 4 + check 2 + terminator 1.
constexpr int kWireBytes = 14 + 18;

int Identify() {
    static constexpr int kWidth[] = {4};
    return korvi70::RunTransaction(0, 3, {}, kWidth, [](int, std::string_view) { return true; });
}

}  // namespace

int main() {
    const std::string root = bench::UseTemporaryDriveRoot();
    sim::SimProcess simulator;
    std::string line;
    if (!simulator.Start(sim::SimProgramPath(), {"--com", std::to_string(kCom), "--paced"}, &line)) {
        std::fprintf(stderr, "cannot start %s\n", sim::SimProgramPath().c_str());
        return 1;
    }
    Korvi70_TypLacza = Korvi70_PolaczenieBezposrednieRS;
    Korvi70_NrZlacza = kCom;
    Korvi70_CzasOczekiwaniaRS = 0.5;
    if (Korvi70_IniZlacze(0) != 0) {
        std::fprintf(stderr, "cannot open COM%d\n", kCom);
        return 1;
    }
    for (int i = 0; i < 5; ++i) Identify();  // settle

    std::vector<double> times;
    int failures = 0;
    for (int i = 0; i < kRounds; ++i) {
        const double start = platform::Timer();
        const int rc = Identify();
        times.push_back(platform::Timer() - start);
        if (rc != 0) ++failures;
    }
    Korvi70_ZamZlacze();
    simulator.Stop();

    std::sort(times.begin(), times.end());
    const double wire = kWireBytes * 10.0 / kBaud;
    const double median = times[times.size() / 2];
    std::printf("identify transaction at %ld baud over a pseudo-terminal (%d rounds, %d failed)\n", kBaud, kRounds,
                failures);
    std::printf("  wire time of %d bytes: %.3f ms\n", kWireBytes, wire * 1e3);
    std::printf("  transaction: min %.3f ms, median %.3f ms, max %.3f ms\n", times.front() * 1e3, median * 1e3,
                times.back() * 1e3);
    std::printf("  ratio (median / wire): %.3f   goal <= 1.05\n", median / wire);
    return failures == 0 ? 0 : 1;
}
