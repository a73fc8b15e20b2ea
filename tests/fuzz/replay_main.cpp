// Runs one fuzz target without libFuzzer, as the regular test build does:
// every seed of its corpus folder, then a fixed number of pseudo-random
// mutations of those seeds from a fixed seed, so every run feeds the same
// inputs. A failing input is written to the current folder and shown in hex.
//
//   replay_<target> CORPUS_FOLDER [--mutations N] [--seed S]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "tests/fuzz/fuzz_support.h"

#if defined(__SANITIZE_ADDRESS__)
#define VGX52_REPLAY_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VGX52_REPLAY_ASAN 1
#endif
#endif
#ifdef VGX52_REPLAY_ASAN
#include <sanitizer/common_interface_defs.h>
#endif

namespace {

namespace fs = std::filesystem;

// Mutated inputs stay within this size (the largest seeds are a few KiB).
constexpr std::size_t kMaxInput = 64 * 1024;

struct Seed {
    std::string name;
    std::string bytes;
};

// What is running now, for the failure report. Never freed: a sanitizer may
// report after the program's static objects are gone.
std::string &g_current = *new std::string;
std::string &g_label = *new std::string;
std::string &g_target = *new std::string("fuzz");
bool g_running = false;

void ReportFailure() {
    if (!g_running) return;
    const std::string file = "fuzz-failure-" + g_target + ".bin";
    if (std::FILE *out = std::fopen(file.c_str(), "wb")) {
        std::fwrite(g_current.data(), 1, g_current.size(), out);
        std::fclose(out);
    }
    std::fprintf(stderr, "failing input: %s (%zu bytes), saved as %s\n", g_label.c_str(), g_current.size(),
                 (fs::current_path() / file).c_str());
    const std::size_t shown = std::min<std::size_t>(g_current.size(), 512);
    for (std::size_t i = 0; i < shown; ++i)
        std::fprintf(stderr, "%02X%s", static_cast<unsigned char>(g_current[i]), (i % 32 == 31) ? "\n" : " ");
    std::fprintf(stderr, "%s\n", shown < g_current.size() ? "..." : "");
}

void Run(const std::string &bytes, const std::string &label) {
    g_current = bytes;
    g_label = label;
    // The target gets its own copy at an exact-size allocation, so a read
    // past the end is caught.
    std::vector<std::uint8_t> copy(bytes.begin(), bytes.end());
    LLVMFuzzerTestOneInput(copy.empty() ? nullptr : copy.data(), copy.size());
}

// Bytes that mean something to the parsers under test: frame and line
// bounds, separators, quotes, escapes, digits at the edges of ranges.
constexpr unsigned char kInteresting[] = {0x00, 0x01, 0x02, 0x7F, 0x80, 0xFF, 0xFE, 0xC5, 0xB9,
                                          '\n', '\r', ' ',  '\t', '#',  ':',  '=',  '"',  '\\',
                                          '.',  '-',  '+',  '0',  '1',  '9',  'A',  'F',  'x'};

class Mutator {
public:
    explicit Mutator(std::uint32_t seed) : random_(seed) {}

    std::string Mutate(const std::vector<Seed> &seeds) {
        std::string bytes = seeds[Below(seeds.size())].bytes;
        const int steps = 1 + static_cast<int>(Below(4));
        for (int i = 0; i < steps; ++i) Step(bytes, seeds);
        if (bytes.size() > kMaxInput) bytes.resize(kMaxInput);
        return bytes;
    }

private:
    std::size_t Below(std::size_t n) { return n == 0 ? 0 : static_cast<std::size_t>(random_() % n); }
    char Interesting() { return static_cast<char>(kInteresting[Below(sizeof kInteresting)]); }

    void Step(std::string &b, const std::vector<Seed> &seeds) {
        const std::size_t at = Below(b.size() + 1);
        switch (Below(9)) {
        case 0:  // flip a bit
            if (!b.empty()) b[Below(b.size())] ^= static_cast<char>(1u << Below(8));
            break;
        case 1:  // any byte
            if (!b.empty()) b[Below(b.size())] = static_cast<char>(Below(256));
            break;
        case 2:  // a byte that means something
            if (!b.empty()) b[Below(b.size())] = Interesting();
            break;
        case 3:  // insert a few bytes
            b.insert(at, 1 + Below(3), Interesting());
            break;
        case 4: {  // delete a range
            const std::size_t n = std::min(b.size() - std::min(at, b.size()), 1 + Below(16));
            if (at < b.size()) b.erase(at, n);
            break;
        }
        case 5: {  // repeat a range
            if (b.empty()) break;
            const std::size_t from = Below(b.size());
            const std::size_t n = 1 + Below(std::min<std::size_t>(b.size() - from, 64));
            b.insert(at, b.substr(from, n));
            break;
        }
        case 6: {  // splice another seed's tail
            const std::string &other = seeds[Below(seeds.size())].bytes;
            b = b.substr(0, at) + other.substr(Below(other.size() + 1));
            break;
        }
        case 7:  // cut short
            b.resize(at);
            break;
        default: {  // a decimal or hex number in place of a digit run
            static const char *const kNumbers[] = {"0",          "-1",    "255", "256",      "65535", "65536",
                                                   "2147483648", "1e308", "nan", "FFFFFFFF", "0.05",  "1e-9"};
            b.insert(at, kNumbers[Below(std::size(kNumbers))]);
            break;
        }
        }
    }

    std::mt19937 random_;
};

}  // namespace

int main(int argc, char **argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s CORPUS_FOLDER [--mutations N] [--seed S]\n", argv[0]);
        return 2;
    }
    const fs::path corpus = argv[1];
    long mutations = 2000;
    std::uint32_t seed = 20240611;
    for (int i = 2; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--mutations") == 0)
            mutations = std::strtol(argv[i + 1], nullptr, 10);
        else if (std::strcmp(argv[i], "--seed") == 0)
            seed = static_cast<std::uint32_t>(std::strtoul(argv[i + 1], nullptr, 10));
    }
    g_target = corpus.filename().string();

    std::vector<Seed> seeds;
    std::error_code error;
    for (const fs::directory_entry &entry : fs::directory_iterator(corpus, error)) {
        if (!entry.is_regular_file()) continue;
        seeds.push_back({entry.path().filename().string(), fuzz::ReadWholeFile(entry.path().string())});
    }
    if (error || seeds.empty()) {
        std::fprintf(stderr, "no seeds in %s\n", corpus.c_str());
        return 2;
    }
    // Directory order is not fixed; the run must be.
    std::sort(seeds.begin(), seeds.end(), [](const Seed &a, const Seed &b) { return a.name < b.name; });

    fuzz::SetFailureHook(ReportFailure);
#ifdef VGX52_REPLAY_ASAN
    __sanitizer_set_death_callback(ReportFailure);
#endif

    const auto start = std::chrono::steady_clock::now();
    g_running = true;
    for (const Seed &s : seeds) Run(s.bytes, "seed " + s.name);
    Mutator mutator(seed);
    for (long i = 0; i < mutations; ++i) Run(mutator.Mutate(seeds), "mutation " + std::to_string(i));
    g_running = false;
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%s: %zu seeds and %ld mutations passed in %.2f s\n", g_target.c_str(), seeds.size(), mutations,
                seconds);
    return 0;
}
