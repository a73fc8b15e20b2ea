// vgx52ctl serve end to end: the server on a pseudo-terminal in front of
// the vgx52-sim program, reached by vgx52ctl over TCP as by any client of a
// Korvi70 TCP server. Every case runs on each simulator line of the table
// at the bottom.
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/system.h"
#include "sim/sim_process.h"
#include "sim/state_file.h"
#include "tests/cli/envelope_client.h"
#include "tests/cli/run_program.h"
#include "tests/upgrade/hex_text.h"

namespace {

using cli_test::ProgramResult;
using cli_test::RunProgram;
using ::testing::HasSubstr;

constexpr char kIdentified[] = "01B0\tMiernik parametrów gazu, model VGX52; H.Ver.:1; S.Ver.:105\n";

std::string Bin(const std::string &name) {
    const char *bin = std::getenv("VGX52_BIN");
    return std::string(bin != nullptr ? bin : ".") + "/" + name;
}

std::string ReadText(const std::string &path) {
    std::ifstream file(path);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// A simulator line: its name and the switches that make it.
struct SimLine {
    const char *name;
    std::vector<std::string> switches;
};

class ServeEndToEnd : public ::testing::TestWithParam<SimLine> {
protected:
    static constexpr int kCom = 6;

    void SetUp() override {
        char pattern[] = "/tmp/vgx52-serve-e2e-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root = pattern;
        setenv("VGX52_ROOT", root.c_str(), 1);
        statePath = root + "/instrument.state";
    }
    void TearDown() override {
        server.Stop();
        simulator.Stop();
        std::error_code ignored;
        std::filesystem::remove_all(root, ignored);
    }
    void StartSim(std::vector<std::string> switches = {}) {
        switches.insert(switches.begin(), {"--com", std::to_string(kCom), "--state", statePath});
        switches.insert(switches.end(), GetParam().switches.begin(), GetParam().switches.end());
        std::string line;
        ASSERT_TRUE(simulator.Start(Bin("vgx52-sim"), switches, &line)) << Bin("vgx52-sim");
    }
    // The server on COM6, on a free port of the loopback address; options
    // go before the command, more after it.
    void StartServer(std::vector<std::string> more = {}, std::vector<std::string> options = {}) {
        std::vector<std::string> args = {"--port", std::to_string(kCom), "serve", "--listen", "127.0.0.1:0"};
        args.insert(args.begin(), options.begin(), options.end());
        args.insert(args.end(), more.begin(), more.end());
        std::string line;
        ASSERT_TRUE(server.Start(Bin("vgx52ctl"), args, &line)) << "vgx52ctl serve did not start";
        ASSERT_THAT(line, ::testing::MatchesRegex("listening on 127\\.0\\.0\\.1:[0-9]+ for COM6"));
        port = sim::SimProcess::PortOf(line);
        target = "127.0.0.1:" + std::to_string(port);
    }
    void Start() {
        StartSim();
        StartServer();
    }
    ProgramResult Client(std::vector<std::string> args) {
        args.insert(args.begin(), {"--tcp", target});
        return RunProgram(Bin("vgx52ctl"), args);
    }
    // Runs a command through the server that must succeed; gives its output.
    std::string Out(std::vector<std::string> args) {
        const ProgramResult r = Client(args);
        EXPECT_EQ(r.status, 0) << args[0] << ": " << r.err;
        return r.out;
    }

    std::string root, statePath, target;
    int port = 0;
    sim::SimProcess simulator, server;
};

TEST_P(ServeEndToEnd, CommandsThroughTheServerAreThoseOfTheSerialLine) {
    Start();
    EXPECT_EQ(Out({"identify"}), kIdentified);
    EXPECT_EQ(Out({"write-float", "a", "287.055"}), "");
    EXPECT_EQ(Out({"read-float", "a"}), "287.054993\n");
    EXPECT_EQ(Out({"write-int", "A", "-2"}), "");
    EXPECT_EQ(Out({"read-int", "A"}), "-2\n");
    EXPECT_EQ(Out({"write-serial", "SN 00042"}), "");
    EXPECT_EQ(Out({"read-serial"}), "SN 00042\n");
    // The legacy frames: I/O space at address 5, a no-operation probe.
    EXPECT_EQ(Out({"--id", "5", "io-write", "0x0100", "0xAB", "1", "0"}), "");
    EXPECT_EQ(Out({"--id", "5", "io-read", "256", "3"}), "AB 01 00\n");
    EXPECT_EQ(Out({"nop", "5"}), "");
    // A status from the instrument comes through as it is.
    const ProgramResult r = Client({"subdevice", "2"});
    EXPECT_EQ(r.status, 5) << r.err;

    // The same instrument straight on its port once the server has gone:
    // the server let the port go, and what was written through it is there.
    EXPECT_EQ(server.Stop(), 0);
    const ProgramResult direct = RunProgram(Bin("vgx52ctl"), {"--port", std::to_string(kCom), "read-serial"});
    EXPECT_EQ(direct.status, 0) << direct.err;
    EXPECT_EQ(direct.out, "SN 00042\n");
}

TEST_P(ServeEndToEnd, AShortFirmwareUpgradeIsByteExact) {
    StartSim();
    StartServer();
    using namespace upgrade_test;
    std::vector<std::string> lines;
    std::vector<unsigned char> image(0x20000, 0xFF);
    for (int a = 0; a < 0x300; a += 32) {
        lines.push_back(DataRecord(a, Pattern(a, 32)));
        const std::vector<std::uint8_t> bytes = Pattern(a, 32);
        std::copy(bytes.begin(), bytes.end(), image.begin() + a);
    }
    lines.push_back(EndRecord());
    const std::string file = root + "/firmware.hex";
    std::ofstream(file, std::ios::binary) << Join(lines);

    const ProgramResult r = RunProgram(Bin("vgx52ctl"), {"--tcp", target, "upgrade", file}, 120.0);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "3\n");
    EXPECT_EQ(server.Stop(), 0);
    EXPECT_EQ(simulator.Stop(), 0);
    sim::InstrumentState after;
    std::string error;
    ASSERT_TRUE(sim::LoadState(after, statePath, &error)) << error;
    ASSERT_EQ(after.vgx.flash.size(), image.size());
    EXPECT_TRUE(std::equal(image.begin(), image.end(), after.vgx.flash.begin()));
}

TEST_P(ServeEndToEnd, TwoClientsAtOnceGetTheirOwnReplies) {
    Start();
    ASSERT_EQ(Out({"write-serial", "TWO-0002"}), "");
    std::vector<std::string> serials, reals;
    std::thread other([&] {
        for (int i = 0; i < 5; ++i) serials.push_back(Client({"read-serial"}).out);
    });
    for (int i = 0; i < 5; ++i) reals.push_back(Client({"read-float", "E"}).out);
    other.join();
    EXPECT_EQ(serials, std::vector<std::string>(5, "TWO-0002\n"));
    EXPECT_EQ(reals, std::vector<std::string>(5, "1.29225993\n"));
}

TEST_P(ServeEndToEnd, ASilentInstrumentIsTheServersErrorWithinTheClientsWindow) {
    StartSim({"--silent"});
    StartServer();
    const std::string log = root + "/client.log";
    const double start = platform::Timer();
    const ProgramResult r = Client({"--log", log, "identify"});
    const double took = platform::Timer() - start;
    EXPECT_EQ(r.status, 2);
    EXPECT_THAT(r.err, HasSubstr("the link failed"));
    // The server's answer "c00040002" (no reply) came, not the client's own time-out.
    EXPECT_THAT(ReadText(log), HasSubstr(" RX 63 30 30 30 34 30 30 30 32"));
    EXPECT_LT(took, 5.0);  // a bound for a loaded machine; the window itself is checked in-process
}

TEST_P(ServeEndToEnd, GarbageAndOversizedClientsAreDroppedWhileOthersGoOn) {
    Start();
    cli_test::EnvelopeClient web, huge, quiet;
    ASSERT_TRUE(web.Connect(port));
    ASSERT_TRUE(huge.Connect(port));
    ASSERT_TRUE(quiet.Connect(port));
    ASSERT_TRUE(web.Send("GET / HTTP/1.1\r\nHost: x\r\n\r\n"));
    ASSERT_TRUE(huge.Send("bFFFF"));
    EXPECT_TRUE(web.ClosedByServer());
    EXPECT_TRUE(huge.ClosedByServer());
    EXPECT_EQ(Out({"identify"}), kIdentified);
    // A client that stays connected without a word does not hold up others either.
    EXPECT_EQ(Out({"read-id"}), "5\n");
}

TEST_P(ServeEndToEnd, StopsCleanlyAndClosesItsClients) {
    Start();
    cli_test::EnvelopeClient client;
    ASSERT_TRUE(client.Connect(port));
    ASSERT_TRUE(client.Request("007129030E"));
    EXPECT_EQ(client.Envelope(), "b000E7100290001B07E");
    EXPECT_EQ(server.Stop(), 0);  // SIGTERM: exit status 0
    EXPECT_TRUE(client.ClosedByServer(1.0));
    cli_test::EnvelopeClient late;
    EXPECT_FALSE(late.Connect(port));
}

TEST_P(ServeEndToEnd, WhatCannotBeServed) {
    StartSim();
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string message;
    } cases[] = {
        {{"--port", "6", "serve", "--listen", "0.0.0.0:0"}, 64, "give --allow"},
        {{"--tcp", "127.0.0.1:1", "serve"}, 64, "takes no --tcp"},
        {{"--port", "6", "--dial", "123", "serve"}, 64, "takes no --tcp or --dial"},
        {{"--port", "6", "serve", "--allow", "10.0.0.300"}, 64, "is not a network"},
        {{"--port", "9", "serve", "--listen", "127.0.0.1:0"}, 2, "cannot open COM9"},
        {{"--port", "6", "--log", root + "/none/serve.log", "serve", "--listen", "127.0.0.1:0"},
         64,
         "cannot write the log file " + root + "/none/serve.log: No such file or directory"},
        {{"--port", "6", "serve", "--listen", "192.0.2.1:6666", "--allow", "192.0.2.0/24"},
         2,
         "not one of this computer's"},
    };
    for (const Case &c : cases) {
        const ProgramResult r = RunProgram(Bin("vgx52ctl"), c.args, 10.0);
        EXPECT_EQ(r.status, c.status) << c.args.back();
        EXPECT_THAT(r.err, HasSubstr(c.message)) << c.args.back();
        EXPECT_EQ(r.out, "") << c.args.back();
    }
    // The port of a server already running.
    StartServer();
    const ProgramResult r =
        RunProgram(Bin("vgx52ctl"), {"--port", "6", "serve", "--listen", "127.0.0.1:" + std::to_string(port)}, 10.0);
    EXPECT_EQ(r.status, 2);
    EXPECT_THAT(r.err, HasSubstr("another program is listening there"));
}

TEST_P(ServeEndToEnd, ALogThatCouldNotBeWrittenToItsEndIsReported) {
    StartSim();
    // The server takes the test's standard error: a file for the while it starts.
    const std::string errPath = root + "/serve.err";
    const int saved = dup(STDERR_FILENO);
    const int file = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(file, 0);
    dup2(file, STDERR_FILENO);
    close(file);
    StartServer({}, {"--log", "/dev/full"});
    dup2(saved, STDERR_FILENO);
    close(saved);
    if (HasFatalFailure()) return;
    EXPECT_EQ(Out({"identify"}), kIdentified);
    EXPECT_EQ(server.Stop(), 0);
    EXPECT_THAT(ReadText(errPath),
                HasSubstr("vgx52ctl: the log file /dev/full is incomplete: No space left on device"));
}

// The coordinator adds the lines the simulator offers (a real-line row).
INSTANTIATE_TEST_SUITE_P(Lines, ServeEndToEnd,
                         ::testing::Values(SimLine{"whole_replies", {}}, SimLine{"real_line", {"--real-line"}}),
                         [](const ::testing::TestParamInfo<SimLine> &info) { return std::string(info.param.name); });

}  // namespace
