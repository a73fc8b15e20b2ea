// vgx52ctl end to end: the real program over a pseudo-terminal (or the TCP
// gateway) against the vgx52-sim program.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "sim/sim_process.h"
#include "tests/cli/run_program.h"

namespace {

using cli_test::Bin;
using cli_test::ProgramResult;
using cli_test::RunProgram;
using ::testing::HasSubstr;
using ::testing::StartsWith;

std::vector<std::string> ReadLines(const std::string &path) {
    std::ifstream file(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) lines.push_back(line);
    return lines;
}

// The direction and bytes of a log line, without its timestamp.
std::string Traffic(const std::string &line) { return line.size() > 24 ? line.substr(24) : line; }

class Vgx52ctl : public ::testing::Test {
protected:
    static constexpr int kCom = 3;

    void SetUp() override {
        char pattern[] = "/tmp/vgx52ctl-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root = pattern;
        setenv("VGX52_ROOT", root.c_str(), 1);
    }
    void TearDown() override {
        simulator.Stop();
        std::error_code ignored;
        std::filesystem::remove_all(root, ignored);
    }
    void StartSim(std::vector<std::string> switches = {}) {
        switches.insert(switches.begin(), {"--com", std::to_string(kCom)});
        std::string line;
        ASSERT_TRUE(simulator.Start(Bin("vgx52-sim"), switches, &line)) << Bin("vgx52-sim");
        ASSERT_THAT(line, StartsWith("listening on COM3 "));
    }
    ProgramResult Ctl(std::vector<std::string> args) {
        args.insert(args.begin(), {"--port", std::to_string(kCom)});
        return RunProgram(Bin("vgx52ctl"), args);
    }
    // Runs a command that must succeed and gives its output.
    std::string Out(std::vector<std::string> args) {
        const ProgramResult r = Ctl(args);
        EXPECT_EQ(r.status, 0) << args[0] << ": " << r.err;
        EXPECT_EQ(r.err, "");
        return r.out;
    }

    std::string root;
    sim::SimProcess simulator;
};

TEST_F(Vgx52ctl, IdentifyPrintsTheTypeCodeAndTheName) {
    StartSim();
    EXPECT_EQ(Out({"identify"}), "01B0\tMiernik parametrów gazu, model VGX52; H.Ver.:1; S.Ver.:105\n");
    EXPECT_EQ(Out({"version"}), "105\n");
}

TEST_F(Vgx52ctl, TypeCodeAndSoftwareVersionSwitchesOfTheSimulator) {
    StartSim({"--type", "0x1B7", "--software", "7"});
    EXPECT_EQ(Out({"identify"}), "01B7\tMiernik parametrów gazu, model VGX52; H.Ver.:8; S.Ver.:7\n");
}

TEST_F(Vgx52ctl, RegisterValuesAreWrittenAndReadBack) {
    StartSim();
    EXPECT_EQ(Out({"write-float", "a", "287.055"}), "");
    EXPECT_EQ(Out({"read-float", "a"}), "287.054993\n");
    EXPECT_EQ(Out({"read-float", "E"}), "1.29225993\n");
    EXPECT_EQ(Out({"read-float", "I"}), "20.5\n");
    EXPECT_EQ(Out({"write-int", "A", "-2"}), "");
    EXPECT_EQ(Out({"read-int", "A"}), "-2\n");
    EXPECT_EQ(Out({"read-int", "B"}), "-1\n");
    EXPECT_EQ(Out({"read-int", "a"}), "-32768\n");
    EXPECT_EQ(Out({"read-code", "G"}), "64\n");
    EXPECT_EQ(Out({"write-cal", "15", "C", "-0.5"}), "");
    EXPECT_EQ(Out({"read-cal", "15", "C"}), "-0.5\n");
}

TEST_F(Vgx52ctl, GenericValuesAreWrittenAndReadBack) {
    StartSim();
    EXPECT_EQ(Out({"write-basic", "0.1"}), "");
    EXPECT_EQ(Out({"read-basic"}), "0.100000001\n");
    EXPECT_EQ(Out({"write-serial", "SN 00042"}), "");
    EXPECT_EQ(Out({"read-serial"}), "SN 00042\n");
    EXPECT_EQ(Out({"write-clock", "29.02.24 23:59:58"}), "");
    EXPECT_EQ(Out({"read-clock"}), "29.02.24 23:59:58\n");
    EXPECT_EQ(Out({"read-id"}), "5\n");
    EXPECT_EQ(Out({"write-id", "9", "--current", "5"}), "");
    EXPECT_EQ(Out({"read-id"}), "9\n");
    EXPECT_EQ(Out({"--id", "9", "write-id", "12"}), "");
    EXPECT_EQ(Out({"read-id"}), "12\n");
}

TEST_F(Vgx52ctl, RestartCodeAndSubDevices) {
    StartSim();
    EXPECT_EQ(Out({"restart-code"}), "1\nPower On Reset\n");
    EXPECT_EQ(Out({"restart-code", "--cpu", "2"}), "1\nfunkcja jeszcze nie rozpisana\n");
    EXPECT_EQ(Out({"subdevices"}), "2\n");
    EXPECT_EQ(Out({"subdevice", "1"}), "2\n32\n65535\n0\nMODUL IO\n");
    // The simulator refuses a device it does not have with its status 5.
    const ProgramResult r = Ctl({"subdevice", "2"});
    EXPECT_EQ(r.status, 5);
    EXPECT_EQ(r.out, "");
    EXPECT_THAT(r.err, HasSubstr("status 5"));
}

TEST_F(Vgx52ctl, NoOperationProbe) {
    StartSim();
    EXPECT_EQ(Out({"nop", "5"}), "");
    EXPECT_EQ(Ctl({"--attempts", "1", "--timeout", "0.05", "nop", "6"}).status, 3);
    EXPECT_EQ(Ctl({"nop", "1"}).status, 1);
}

TEST_F(Vgx52ctl, RefusedCommandsExitOneAndSendNoFrame) {
    StartSim();
    const std::string log = root + "/refused.log";
    for (std::vector<std::string> args : std::vector<std::vector<std::string>>{{"write-id", "5", "--current", "5"},
                                                                               {"read-int", "C"},
                                                                               {"write-float", "I", "1"},
                                                                               {"read-cal", "16", "A"},
                                                                               {"read-cal", "1", "D"},
                                                                               {"write-id", "256"}}) {
        args.insert(args.begin(), {"--log", log});
        const ProgramResult r = Ctl(args);
        EXPECT_EQ(r.status, 1) << args[2];
        EXPECT_EQ(r.out, "");
        EXPECT_THAT(r.err, HasSubstr("refused"));
        // Only the echo test of the opening went out.
        for (const std::string &line : ReadLines(log))
            EXPECT_THAT(Traffic(line), ::testing::Not(StartsWith("TX FF FF 00"))) << line;
    }
}

TEST_F(Vgx52ctl, ASilentSimulatorGivesThreeAfterEveryAttempt) {
    StartSim({"--silent"});
    const std::string log = root + "/silent.log";
    const ProgramResult r = Ctl({"--timeout", "0.05", "--attempts", "3", "--log", log, "identify"});
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.out, "");
    EXPECT_THAT(r.err, HasSubstr("no valid reply"));
    int requests = 0;
    for (const std::string &line : ReadLines(log))
        if (Traffic(line).rfind("TX FF FF 00", 0) == 0) ++requests;
    EXPECT_EQ(requests, 3);
}

TEST_F(Vgx52ctl, AnInstrumentStatusIsTheExitStatus) {
    StartSim({"--status", "5"});
    const ProgramResult r = Ctl({"read-float", "E"});
    EXPECT_EQ(r.status, 5);
    EXPECT_EQ(r.out, "");
    EXPECT_THAT(r.err, HasSubstr("status 5"));
}

TEST_F(Vgx52ctl, LogHasOneLinePerFrameWithTimeAndDirection) {
    StartSim();
    const std::string log = root + "/frames.log";
    EXPECT_EQ(Out({"--log", log, "read-float", "E"}), "1.29225993\n");
    const auto lines = ReadLines(log);
    const std::regex shape(R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} (TX|RX)( [0-9A-F]{2})+$)");
    for (const std::string &line : lines) EXPECT_TRUE(std::regex_match(line, shape)) << line;
    // The echo test, then the request and the reply.
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(Traffic(lines[0]), "TX FF 55 33 0F FF");
    const std::string request = Traffic(lines[lines.size() - 2]);
    const std::string reply = Traffic(lines.back());
    // FF FF 00, "0071", a transaction, "8245", the check, 01.
    EXPECT_THAT(request, StartsWith("TX FF FF 00 30 30 37 31 "));
    EXPECT_THAT(request, HasSubstr(" 38 32 34 35 "));
    EXPECT_EQ(request.size(), std::string("TX").size() + 3 * 16);
    EXPECT_THAT(request, ::testing::EndsWith(" 01"));
    // The reply's data digits 3FA568C6.
    EXPECT_THAT(reply, StartsWith("RX "));
    EXPECT_THAT(reply, HasSubstr(" 33 46 41 35 36 38 43 36 "));
    EXPECT_THAT(reply, ::testing::EndsWith(" 01"));
}

TEST_F(Vgx52ctl, ThroughTheTcpGateway) {
    std::string line;
    ASSERT_TRUE(simulator.Start(Bin("vgx52-sim"), {"--tcp", "0"}, &line));
    const int port = sim::SimProcess::PortOf(line);
    ASSERT_GT(port, 0) << line;
    const std::string target = "127.0.0.1:" + std::to_string(port);
    ProgramResult r = RunProgram(Bin("vgx52ctl"), {"--tcp", target, "identify"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "01B0\tMiernik parametrów gazu, model VGX52; H.Ver.:1; S.Ver.:105\n");
    r = RunProgram(Bin("vgx52ctl"), {"--tcp", target, "write-float", "b", "2.5"});
    EXPECT_EQ(r.status, 0) << r.err;
    r = RunProgram(Bin("vgx52ctl"), {"--tcp", target, "read-float", "b"});
    EXPECT_EQ(r.out, "2.5\n");
    simulator.Stop();
    r = RunProgram(Bin("vgx52ctl"), {"--tcp", target, "identify"});
    EXPECT_EQ(r.status, 2);
    EXPECT_THAT(r.err, HasSubstr("cannot connect"));
    // The link's own message, which the program pops up, as "title: text".
    EXPECT_THAT(r.err, HasSubstr("Wystapił błąd.: Brak połączenia ze serverem Korvi70.\n"));
}

TEST_F(Vgx52ctl, IoSpaceIsWrittenAndReadBackOverTheSerialLine) {
    StartSim();
    EXPECT_EQ(Out({"--id", "5", "io-write", "0x0100", "0xAB", "1", "127"}), "");
    EXPECT_EQ(Out({"--id", "5", "io-read", "256", "3"}), "AB 01 7F\n");
    EXPECT_EQ(Out({"--id", "5", "io-read", "0xFFFF", "1"}), "00\n");
    // Out of range for the command: refused without a frame.
    for (std::vector<std::string> args :
         {std::vector<std::string>{"io-read", "0x10000", "1"}, {"io-read", "0", "0"}, {"io-write", "0", "1"}}) {
        args.insert(args.begin(), {"--id", args[0] == "io-write" ? "0" : "5"});
        const ProgramResult r = Ctl(args);
        EXPECT_EQ(r.status, 1) << args[2] << " " << args[3];
        EXPECT_EQ(r.out, "");
    }
    // No byte at all: bad usage.
    EXPECT_EQ(Ctl({"--id", "5", "io-write", "0"}).status, 64);
}

TEST_F(Vgx52ctl, IoSpaceThroughTheTcpGatewayAtAnAddressThatIsAHexDigit) {
    // Address 0x41 is the character 'A': its read request looks like a hex frame's header.
    std::string line;
    ASSERT_TRUE(simulator.Start(Bin("vgx52-sim"), {"--tcp", "0", "--id", "65"}, &line));
    const std::string target = "127.0.0.1:" + std::to_string(sim::SimProcess::PortOf(line));
    ProgramResult r = RunProgram(Bin("vgx52ctl"), {"--tcp", target, "--id", "65", "io-write", "16", "0x12", "0x34"});
    EXPECT_EQ(r.status, 0) << r.err;
    r = RunProgram(Bin("vgx52ctl"), {"--tcp", target, "--id", "0x41", "io-read", "0x10", "2"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "12 34\n");
}

TEST_F(Vgx52ctl, TheLogOverTcpShowsTheEnvelopesAsTheSocketCarriesThem) {
    std::string line;
    ASSERT_TRUE(simulator.Start(Bin("vgx52-sim"), {"--tcp", "0"}, &line));
    const std::string target = "127.0.0.1:" + std::to_string(sim::SimProcess::PortOf(line));
    const std::string log = root + "/tcp.log";
    const ProgramResult r = RunProgram(Bin("vgx52ctl"), {"--tcp", target, "--log", log, "read-id"});
    EXPECT_EQ(r.status, 0) << r.err;
    const auto lines = ReadLines(log);
    ASSERT_EQ(lines.size(), 2u);
    // 'b', four digits of length, then the frame without its preamble.
    EXPECT_THAT(Traffic(lines[0]), StartsWith("TX 62 30 30 30 41 30 30 37 31 "));
    EXPECT_THAT(Traffic(lines[1]), StartsWith("RX 62 30 30 30 43 37 31 30 30 "));
}

TEST_F(Vgx52ctl, PortsShowsWhatEachComPortIsAndLinksADevice) {
    StartSim();  // COM3: a pseudo-terminal the simulator keeps open, without a lock
    std::filesystem::create_symlink(root + "/unplugged", root + "/com2");
    const std::string terminal = std::filesystem::read_symlink(root + "/com3").string();
    std::filesystem::create_symlink(terminal, root + "/com12");  // beyond the program's port list
    ProgramResult r = RunProgram(Bin("vgx52ctl"), {"ports"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_THAT(r.out, ::testing::ContainsRegex("\nCOM12 +" + terminal +
                                                " +present, above COM8, where the program's port list ends\n"));
    EXPECT_THAT(r.out, ::testing::ContainsRegex("to give it a number the list offers: vgx52ctl ports --link [124-8] " +
                                                terminal + "\n"));
    EXPECT_THAT(r.out, ::testing::ContainsRegex("COM2 +" + root + "/unplugged +absent\n"));
    EXPECT_THAT(r.out, ::testing::ContainsRegex("COM3 +" + terminal + " +free\n"));
    EXPECT_THAT(r.out, StartsWith("COM1 "));
    EXPECT_THAT(r.out, HasSubstr("\nCOM8 "));

    r = RunProgram(Bin("vgx52ctl"), {"ports", "--link", "4", terminal});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "COM4 -> " + terminal + "\n");
    EXPECT_EQ(std::filesystem::read_symlink(root + "/com4").string(), terminal);
    r = RunProgram(Bin("vgx52ctl"), {"--port", "4", "--id", "5", "io-read", "0", "1"});
    EXPECT_EQ(r.status, 0) << r.err;

    { std::ofstream file(root + "/not-a-device"); }
    r = RunProgram(Bin("vgx52ctl"), {"ports", "--link", "4", root + "/not-a-device"});
    EXPECT_EQ(r.status, 1);
    EXPECT_THAT(r.err, HasSubstr("is not a character device"));
    EXPECT_EQ(std::filesystem::read_symlink(root + "/com4").string(), terminal);
    for (std::vector<std::string> args : {std::vector<std::string>{"ports", "--link", "4"}, {"ports", "extra"}})
        EXPECT_EQ(RunProgram(Bin("vgx52ctl"), args).status, 64) << args.back();
}

TEST_F(Vgx52ctl, APortWithNothingBehindItIsALinkFailure) {
    const ProgramResult r = RunProgram(Bin("vgx52ctl"), {"--port", "9", "identify"});
    EXPECT_EQ(r.status, 2);
    EXPECT_THAT(r.err, HasSubstr("COM9"));
}

// One rule for every command and option: a well-formed number outside the
// range accepted is refused (1), as the instrument commands refuse one;
// anything else that does not fit is bad usage (64). Neither gets as far as
// the link: the log file is never even made.
TEST_F(Vgx52ctl, ArgumentsOutOfRangeAreRefusedAndBadUsageIs64) {
    const std::string log = root + "/never.log";
    struct Case {
        std::vector<std::string> args;
        int status;
        const char *says;
    } cases[] = {
        {{}, 64, "no command given"},
        {{"frobnicate"}, 64, "unknown command 'frobnicate'"},
        {{"read-float"}, 64, "missing arguments"},
        {{"read-float", "E", "F"}, 64, "too many arguments"},
        {{"identify", "--bogus"}, 64, "unknown option --bogus"},
        {{"write-float", "a", "x"}, 64, "VALUE must be a finite number"},
        {{"write-float", "a", "nan"}, 64, "VALUE must be a finite number"},
        {{"--port", "3x", "identify"}, 64, "--port must be a COM number"},
        {{"--id", "0x", "identify"}, 64, "--id must be"},
        {{"modem-store", "one", "123"}, 64, "SLOT must be"},
        {{"typ1", "t.dan", "--columns", "2.5"}, 64, "N must be"},
        {{"io-write", "0", "0x1G"}, 64, "BYTE must be"},
        {{"sensor", "+1"}, 64, "K must be"},
        {{"--port", "0", "identify"}, 1, "--port must be a COM number from 1 to 100"},
        {{"--port", "101", "identify"}, 1, "--port must be"},
        {{"--id", "256", "identify"}, 1, "--id must be a number from 0 to 255"},
        {{"--attempts", "0", "identify"}, 1, "--attempts must be"},
        {{"--timeout", "6", "identify"}, 1, "--timeout must be"},
        {{"--tcp", "localhost:65536", "identify"}, 1, "--tcp: port must be"},
        {{"modem-store", "4", "123"}, 1, "SLOT must be a whole number from 0 to 3, not \"4\""},
        {{"typ1", "t.dan", "--columns", "0"}, 1, "N must be a whole number from 1 to 100"},
        {{"typ1", "t.dan", "--columns", "101"}, 1, "N must be a whole number from 1 to 100"},
        {{"typ1", "t.dan", "--columns", "100", "--limit", "1000000"}, 1, "--columns times --limit"},
        {{"sensor", "4"}, 1, "K must be a whole number from 0 to 3"},
        {{"io-write", "0", "256"}, 1, "BYTE must be a whole number from 0 to 255"},
        {{"write-id", "7", "--current", "300"}, 1, "--current must be"},
        {{"write-id", "99999999999999999999"}, 1, "NEW must be"},
        {{"read-cal", "300", "A"}, 1, "STEP must be"},
        {{"write-float", "a", "1e999"}, 1, "VALUE must be a finite number"},
        {{"ports", "--link", "0", "/dev/null"}, 1, "N must be"},
        {{"upgrade", "f.hex", "--hw", "9"}, 1, "--hw must be a whole number from 1 to 8"},
        {{"--port", "7", "modem-info"}, 1, "a modem is driven on COM1 to COM4, not COM7"},
        {{"--port", "5", "--dial", "123", "identify"}, 1, "a modem is driven on COM1 to COM4"},
        {{"--dial", "123", "ports"}, 64, "ports uses no link: it takes no --dial"},
        {{"serve", "--idle", "0.5"}, 1, "--idle must be a number of seconds from 1 to 86400"},
        {{"serve", "--idle", "soon"}, 64, "--idle must be"},
        {{"serve", "--listen", "127.0.0.1:65536"}, 1, "--listen: port must be a number from 0 to 65535"},
    };
    for (const Case &c : cases) {
        std::vector<std::string> args = {"--log", log};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const ProgramResult r = RunProgram(Bin("vgx52ctl"), args);
        const std::string what = c.args.empty() ? "(no arguments)" : c.args[0] + " ... " + c.args.back();
        EXPECT_EQ(r.status, c.status) << what << ": " << r.err;
        EXPECT_EQ(r.out, "") << what;
        EXPECT_THAT(r.err, StartsWith("vgx52ctl: ")) << what;
        EXPECT_THAT(r.err, HasSubstr(c.says)) << what;
        EXPECT_THAT(r.err, HasSubstr(c.status == 1 ? "refused: " : "Try 'vgx52ctl --help'")) << what;
        EXPECT_FALSE(std::filesystem::exists(log)) << what << ": the link was reached";
    }
}

TEST_F(Vgx52ctl, HelpAndVersion) {
    ProgramResult r = RunProgram(Bin("vgx52ctl"), {"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_THAT(r.out, StartsWith("Usage: vgx52ctl "));
    for (const char *command : {"identify", "read-cal STEP COL", "restart-code [--cpu N]", "nop ADDRESS",
                                "io-read START COUNT", "io-write START BYTE...", "ports [--link N DEVICE]"})
        EXPECT_THAT(r.out, HasSubstr(command));
    r = RunProgram(Bin("vgx52ctl"), {"--version"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "vgx52ctl 1.01\n");
}

TEST_F(Vgx52ctl, SimulatorStateSurvivesARestart) {
    const std::string state = root + "/sim-state.txt";
    StartSim({"--state", state});
    EXPECT_EQ(Out({"write-serial", "KEEP0001"}), "");
    EXPECT_EQ(Out({"write-float", "m", "12.25"}), "");
    EXPECT_EQ(Out({"--id", "5", "io-write", "0xFFFE", "0xC0", "0xDE"}), "");
    EXPECT_EQ(simulator.Stop(), 0);
    StartSim({"--state", state, "--software", "9"});
    EXPECT_EQ(Out({"--id", "5", "io-read", "0xFFFE", "2"}), "C0 DE\n");
    EXPECT_EQ(Out({"read-serial"}), "KEEP0001\n");
    EXPECT_EQ(Out({"read-float", "m"}), "12.25\n");
    EXPECT_EQ(Out({"version"}), "9\n");
}

TEST_F(Vgx52ctl, ADamagedStateFileIsRefusedAndKept) {
    const std::string state = root + "/damaged.txt";
    {
        std::ofstream file(state);
        file << "vgx52-sim state 1\nserial=TOO-LONG-SERIAL\n";
    }
    const ProgramResult r = RunProgram(Bin("vgx52-sim"), {"--com", "3", "--state", state}, 10.0);
    EXPECT_EQ(r.status, 1);
    EXPECT_THAT(r.err, HasSubstr("line 2"));
    std::ifstream file(state);
    std::stringstream text;
    text << file.rdbuf();
    EXPECT_EQ(text.str(), "vgx52-sim state 1\nserial=TOO-LONG-SERIAL\n");
}

}  // namespace

namespace {

TEST_F(Vgx52ctl, DataFilesAndSensorsNeedNoInstrument) {
    const std::string file = root + "/t.DAN";
    std::ofstream(file, std::ios::binary)
        << "#TYP 1\r\n#KodProgramu Q\r\n#STARTKOMEN\r\nZa\xBF\xF3\xB3\xE6\r\n"
           "#ENDKOMEN\r\n#DANE 3 x 9\r\n# 1 0.1\r\n# 4294967296 1 1\r\n# -2 3 4e5\r\n";
    const std::string data = std::string(std::getenv("VGX52_SOURCE")) + "/data/ChkiTerm";
    std::filesystem::create_directories(root + "/p/Toolvane/Dane");
    std::filesystem::create_directory_symlink(data, root + "/p/Toolvane/Dane/ChkiTerm");
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string out;  // "" with a status other than 0: only that no rows came
    } cases[] = {
        {{"typ1", file, "--columns", "3", "--ext", "dan"}, 0, "1\t0.10000000000000001\tnan\n-2\t3\t400000\n"},
        {{"typ1", file, "--columns", "3", "--limit", "1", "--program", "q"}, 0, "1\t0.10000000000000001\tnan\n"},
        {{"typ1", file, "--columns", "2", "--program", "Q"}, 2, ""},
        {{"typ1", file, "--columns", "3", "--ext", "txt"}, 1, ""},
        {{"typ1", file, "--comment"}, 0, "Zażółć\n"},
        {{"sensor", "1"}, 0, ""},
        {{"sensor", "0"}, 1, ""},
        {{"typ1", file}, 64, ""},
    };
    for (const Case &c : cases) {
        const ProgramResult r = RunProgram(Bin("vgx52ctl"), c.args);
        EXPECT_EQ(r.status, c.status) << c.args[0] << " " << c.args.back() << ": " << r.err;
        if (c.status == 0 && !c.out.empty()) {
            EXPECT_EQ(r.out, c.out) << c.args.back();
        }
        if (c.status != 0) {
            EXPECT_EQ(r.out, "") << c.args.back();
        }
    }
    // The Pt100 characteristic: 526 rows from -200 to 850 degrees.
    const std::string pt100 = Out({"sensor", "1"});
    EXPECT_THAT(pt100, StartsWith("-200\t18.520"));
    EXPECT_THAT(pt100, HasSubstr("\n0\t100\n"));
    EXPECT_EQ(std::count(pt100.begin(), pt100.end(), '\n'), 526);
}

}  // namespace
