// vgx52ctl through a dial-up modem: the real program over a pseudo-terminal
// against vgx52-sim with its modem in front of the instrument.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stdlib.h>

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
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

class ModemCtl : public ::testing::Test {
protected:
    static constexpr int kCom = 4;
    void SetUp() override {
        char pattern[] = "/tmp/vgx52ctl-modem-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root_ = pattern;
        setenv("VGX52_ROOT", root_.c_str(), 1);
    }
    void TearDown() override {
        simulator_.Stop();
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    void StartSim(std::vector<std::string> switches = {}) {
        switches.insert(switches.begin(), {"--com", std::to_string(kCom), "--modem", "--modem-dial-delay", "0.1",
                                           "--modem-log", root_ + "/modem.log"});
        std::string line;
        ASSERT_TRUE(simulator_.Start(Bin("vgx52-sim"), switches, &line)) << Bin("vgx52-sim");
    }
    ProgramResult Ctl(std::vector<std::string> args) {
        args.insert(args.begin(), {"--port", std::to_string(kCom)});
        return RunProgram(Bin("vgx52ctl"), args);
    }
    std::vector<std::string> ModemLog() {
        std::ifstream file(root_ + "/modem.log");
        std::vector<std::string> lines;
        for (std::string line; std::getline(file, line);) lines.push_back(line);
        return lines;
    }
    std::string root_;
    sim::SimProcess simulator_;
};

TEST_F(ModemCtl, DialRunsTheCommandThroughTheConnectionAndHangsUp) {
    StartSim({"--modem-no-echo"});  // identification switches the echo on first
    const ProgramResult r = Ctl({"--dial", "5551234", "identify"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_THAT(r.out, HasSubstr("01B0\t"));
    EXPECT_THAT(r.err, HasSubstr("Nawiązano połączenie z prędkością transmisji 9600bps."));
    EXPECT_THAT(r.err, HasSubstr("connected at 9600 bps"));
    EXPECT_THAT(ModemLog(), ElementsAre("ATE1", "ATI3", "ATS7?", "ATDT5551234", "+++", "ATH0", "ATQ0", "ATV1", "ATX4"));
}

// The link's echo test at opening hears the modem's command mode, which
// echoes; what counts once connected is the line behind the modem.
TEST_F(ModemCtl, TheEchoOfTheLineBehindTheConnectionIsWhatCounts) {
    for (const std::vector<std::string> &line : {std::vector<std::string>{}, {"--echo"}}) {
        SCOPED_TRACE(line.empty() ? "the line does not echo" : "the line echoes");
        StartSim(line);
        const ProgramResult r = Ctl({"--dial", "5551234", "identify"});
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_THAT(r.out, HasSubstr("01B0\t"));
        simulator_.Stop();
    }
}

TEST_F(ModemCtl, AFailedDialIsTheExitStatusAndTheCommandIsNotRun) {
    // Replies whole and at once; and paced at 9600 baud, the answer a second after the dial.
    for (const std::vector<std::string> &line :
         {std::vector<std::string>{}, {"--baud", "9600", "--modem-dial-delay", "1"}}) {
        SCOPED_TRACE(line.empty() ? "whole replies" : "paced");
        std::vector<std::string> switches = line;
        switches.insert(switches.end(), {"--modem-number", "666=busy"});
        StartSim(switches);
        const ProgramResult r = Ctl({"--dial", "666", "--pulse", "identify"});
        EXPECT_EQ(r.status, 3);
        EXPECT_THAT(r.err, HasSubstr("Połączenie o podanym numerze jest zajęte."));
        EXPECT_THAT(r.err, Not(HasSubstr("from the instrument"))) << "the instrument was never asked";
        EXPECT_EQ(r.out, "");
        EXPECT_THAT(ModemLog(), ElementsAre("ATE1", "ATI3", "ATS7?", "ATDP666", "ATH0"));
        simulator_.Stop();
        std::filesystem::remove(root_ + "/modem.log");
    }
}

// The modem's short reply time-out is for its own exchanges: an instrument
// slow to answer through the connection has the --timeout given.
TEST_F(ModemCtl, TheInstrumentsCommandsKeepTheUsersTimeOut) {
    StartSim({"--delay", "0.5"});
    const ProgramResult r = Ctl({"--dial", "5551234", "--timeout", "1", "identify"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_THAT(r.out, HasSubstr("01B0\t"));
}

TEST_F(ModemCtl, ModemInfoAndStoredNumbers) {
    StartSim();
    EXPECT_EQ(Ctl({"modem-store", "2", "0W221234"}).status, 0);
    const ProgramResult r = Ctl({"modem-info"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "product\tVGX52-SIM Hayes 33600\nS0\t0\nS2\t+ 43\nS7\t50\nS8\t2\nS10\t1.4\n"
              "number0\t\nnumber1\t\nnumber2\t0W221234\nnumber3\t\n");
    // Bad usage never reaches the modem.
    for (const std::vector<std::string> &args : {std::vector<std::string>{"modem-store", "1", std::string(51, '1')},
                                                 {"--pulse", "identify"},
                                                 {"--dial", "1", "modem-info"}}) {
        EXPECT_EQ(Ctl(args).status, 64) << args[0];
    }
    EXPECT_EQ(RunProgram(Bin("vgx52ctl"), {"--tcp", "127.0.0.1", "--dial", "1", "identify"}).status, 64);
    // A COM number beyond COM4 for a modem is refused with 1: see the
    // arguments table of vgx52ctl_test.cpp.
    EXPECT_EQ(RunProgram(Bin("vgx52ctl"), {"--port", "4", "--dial", "1", "ports"}).status, 64);
}

}  // namespace
