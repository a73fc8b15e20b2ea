// Reading a TYP1 data file of 100 000 rows of 4 columns with a row limit of
// 100 000, under the progress popup of the headless back end and of the Qt
// back end (offscreen): rows per second for each. Goal: the Qt read takes at
// most 1.5 times the headless read.
// Usage: bench_typ1_read [runs (9)]
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "toolvane/data_files.h"
#include "ui/headless.h"
#include "ui/model.h"
#include "ui/qt/qt_backend.h"
#include "ui/ui.h"

namespace fs = std::filesystem;

namespace {

constexpr int kRows = 100000;
constexpr int kColumns = 4;
constexpr double kGoal = 1.5;

using Clock = std::chrono::steady_clock;

std::string WriteTable(const std::string &folder) {
    const std::string path = folder + "/bench.dan";
    std::ofstream out(path, std::ios::binary);
    out << "#TYP 1\r\n#KodProgramu BENCH\r\n#DANE " << kColumns << " x " << kRows << "\r\n";
    char line[128];
    for (int r = 0; r < kRows; ++r) {
        std::snprintf(line, sizeof line, "# %d %.6f %.3e %.4f\r\n", r, r * 0.001, r * 1.5e-3, -r / 7.0);
        out << line;
    }
    return path;
}

struct Times {
    double wall = 1e9, cpu = 1e9;  // the best of the runs
};

double ThreadCpu() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec * 1e-9;
}

// One read, kept when faster than those before; false when it did not give every row.
bool TimeRead(const std::string &path, Times &best) {
    static std::vector<std::vector<double>> columns(kColumns, std::vector<double>(kRows));
    std::vector<double *> pointers;
    for (auto &column : columns) pointers.push_back(column.data());
    int rows = 0;
    const double cpu = ThreadCpu();
    const Clock::time_point start = Clock::now();
    const int rc = Toolvane_OdczytZbiorDanychTyp1(path.c_str(), "dan", kRows, kColumns, pointers.data(), &rows);
    best.wall = std::min(best.wall, std::chrono::duration<double>(Clock::now() - start).count());
    best.cpu = std::min(best.cpu, ThreadCpu() - cpu);
    if (rc != 0 || rows != kRows) {
        std::fprintf(stderr, "read gave %d with %d rows\n", rc, rows);
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char **argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const std::string root = bench::UseTemporaryDriveRoot();
    // The popup's resource file from beside the benchmark, as for the program.
    const std::string path = WriteTable(root);

    // Turn about, so that a busy moment of the machine falls on both.
    Times headless, qt;
    for (int run = 0; run < runs; ++run) {
        ui::headless::Install();
        if (!TimeRead(path, headless)) return 1;
        ui::qt::Install();
        if (!TimeRead(path, qt)) return 1;
        if (ui::model::FindPanelByResource(1) != 0) {
            std::fprintf(stderr, "the progress popup stayed\n");
            return 1;
        }
    }

    std::printf("TYP1 read, %d rows x %d columns, row limit %d (best of %d):\n", kRows, kColumns, kRows, runs);
    std::printf("  headless:       %.3f s (CPU %.3f s), %.0f rows/s\n", headless.wall, headless.cpu,
                kRows / headless.wall);
    std::printf("  Qt (offscreen): %.3f s (CPU %.3f s), %.0f rows/s\n", qt.wall, qt.cpu, kRows / qt.wall);
    const double ratio = qt.wall / headless.wall;
    std::printf("  Qt / headless: %.2f (CPU %.2f; goal <= %.1f): %s\n", ratio, qt.cpu / headless.cpu, kGoal,
                ratio <= kGoal ? "met" : "NOT met");
    return 0;
}
