// Every path of vgx52ctl end to end, once on a line that hands over each
// reply whole and at once, and once on a line as a bench has it (vgx52-sim
// --real-line: 38400 baud, a USB adapter's 16 ms packets, replies in
// pieces): identify, register and I/O reads and writes, settings saved and
// restored, a short firmware upgrade, and a dial through the modem with a
// command and the hang-up. The results must be the same on both.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "sim/sim_process.h"
#include "tests/cli/run_program.h"

namespace {

using cli_test::Bin;
using cli_test::ProgramResult;
using cli_test::RunProgram;
using ::testing::HasSubstr;

struct Line {
    const char *name;
    std::vector<std::string> switches;  // of vgx52-sim
};

void PrintTo(const Line &line, std::ostream *out) { *out << line.name; }

// An Intel-HEX record of `count` bytes of `value` at `address`.
std::string DataRecord(unsigned address, unsigned count, unsigned value) {
    char text[80];
    unsigned sum = count + (address >> 8) + (address & 0xFF);
    int n = std::snprintf(text, sizeof text, ":%02X%04X00", count, address);
    for (unsigned i = 0; i < count; ++i) {
        n += std::snprintf(text + n, sizeof text - static_cast<std::size_t>(n), "%02X", value);
        sum += value;
    }
    std::snprintf(text + n, sizeof text - static_cast<std::size_t>(n), "%02X\n", (0x100 - (sum & 0xFF)) & 0xFF);
    return text;
}

class EveryPath : public ::testing::TestWithParam<Line> {
protected:
    static constexpr int kInstrumentCom = 3;
    static constexpr int kModemCom = 4;

    void SetUp() override {
        char pattern[] = "/tmp/vgx52-real-line-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root_ = pattern;
        setenv("VGX52_ROOT", root_.c_str(), 1);
        Start(instrument_, kInstrumentCom, {});
        Start(modem_, kModemCom, {"--modem", "--modem-dial-delay", "0.1", "--modem-log", root_ + "/modem.log"});
        // Two pages of firmware, 256 bytes apart.
        std::ofstream(root_ + "/short.hex")
            << DataRecord(0x0000, 16, 0x5A) << DataRecord(0x0100, 16, 0xA5) << ":00000001FF\n";
    }
    void TearDown() override {
        instrument_.Stop();
        modem_.Stop();
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    void Start(sim::SimProcess &process, int com, std::vector<std::string> switches) {
        switches.insert(switches.begin(), {"--com", std::to_string(com)});
        switches.insert(switches.end(), GetParam().switches.begin(), GetParam().switches.end());
        std::string line;
        ASSERT_TRUE(process.Start(Bin("vgx52-sim"), switches, &line)) << Bin("vgx52-sim");
    }

    std::string root_;
    sim::SimProcess instrument_, modem_;
};

TEST_P(EveryPath, GivesTheSameResultsOnEachLine) {
    const std::string settings = root_ + "/settings.txt";
    struct Step {
        std::vector<std::string> args;
        std::string out;
        std::string err;  // what the error stream must hold ("": nothing at all)
    } steps[] = {
        {{"identify"}, "01B0\tMiernik parametrów gazu, model VGX52; H.Ver.:1; S.Ver.:105\n", ""},
        {{"write-float", "a", "287.055"}, "", ""},
        {{"read-float", "a"}, "287.054993\n", ""},
        {{"--id", "5", "io-write", "0x0100", "0xAB", "1", "127"}, "", ""},
        {{"--id", "5", "io-read", "256", "3"}, "AB 01 7F\n", ""},
        {{"settings-save", settings}, "16\n", ""},
        {{"write-float", "a", "1.5"}, "", ""},
        {{"settings-restore", settings}, "16\n", ""},
        {{"read-float", "a"}, "287.054993\n", ""},
        {{"upgrade", root_ + "/short.hex", "--no-backup"}, "2\n", "upgrade: sending 2 pages\n"},
        {{"--port", std::to_string(kModemCom), "--dial", "5551234", "identify"},
         "01B0\tMiernik parametrów gazu, model VGX52; H.Ver.:1; S.Ver.:105\n",
         "connected at 9600 bps\ndisconnected\n"},
    };
    for (const Step &step : steps) {
        std::vector<std::string> args = {"--port", std::to_string(kInstrumentCom)};
        args.insert(args.end(), step.args.begin(), step.args.end());
        const std::string what = step.args[step.args[0] == "--port" ? 4 : 0];
        const ProgramResult r = RunProgram(Bin("vgx52ctl"), args, 60.0);
        EXPECT_EQ(r.status, 0) << what << ": " << r.err;
        EXPECT_EQ(r.out, step.out) << what;
        if (step.err.empty()) {
            EXPECT_EQ(r.err, "") << what;
        } else {
            EXPECT_THAT(r.err, HasSubstr(step.err)) << what;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Lines, EveryPath, ::testing::Values(Line{"ideal", {}}, Line{"real", {"--real-line"}}),
                         [](const ::testing::TestParamInfo<Line> &info) { return std::string(info.param.name); });

}  // namespace
