// The pseudo-terminal server, the command line and the vgx52-sim program.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "sim/options.h"
#include "sim/pty_server.h"
#include "sim/sim_process.h"

namespace {

// A plain array: it must still be there when the removal runs at exit.
char g_root[64] = "";

void RemoveTempRoot() { std::filesystem::remove_all(g_root); }

std::string TempRoot() {
    if (g_root[0] == '\0') {
        std::strcpy(g_root, "/tmp/sim-test-XXXXXX");
        if (mkdtemp(g_root) == nullptr)
            std::strcpy(g_root, "/tmp");
        else
            std::atexit(RemoveTempRoot);
    }
    setenv("VGX52_ROOT", g_root, 1);
    return g_root;
}

bool IsLink(const std::string &path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

// Reads what arrives on fd within `seconds`, until `want` bytes are in.
std::string ReadFor(int fd, std::size_t want, int ms) {
    std::string got;
    while (got.size() < want) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, ms) <= 0) break;
        char buffer[256];
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n <= 0) break;
        got.append(buffer, static_cast<std::size_t>(n));
    }
    return got;
}

TEST(PtyServer, AnswersThroughTheLinkedTerminalAndRemovesTheLink) {
    const std::string root = TempRoot();
    sim::Instrument instrument;
    std::string link;
    {
        sim::PtyServer server(instrument);
        std::string error;
        ASSERT_TRUE(server.Open(3, &error)) << error;
        link = root + "/com3";
        ASSERT_TRUE(IsLink(link));
        int wake[2];
        ASSERT_EQ(pipe(wake), 0);
        std::thread serving([&] { server.Serve(wake[0]); });

        const int fd = open(link.c_str(), O_RDWR | O_NOCTTY);
        ASSERT_GE(fd, 0);
        const std::string request = std::string("\xFF\xFF\x00", 3) + "007129030E\x01";
        ASSERT_EQ(write(fd, request.data(), request.size()), static_cast<ssize_t>(request.size()));
        EXPECT_EQ(ReadFor(fd, 18, 2000), std::string("\xFF\xFF\x00", 3) +
                                             "71002900"
                                             "01B0"
                                             "7E\x01");
        close(fd);

        ASSERT_EQ(write(wake[1], "x", 1), 1);
        serving.join();
        close(wake[0]);
        close(wake[1]);
    }
    EXPECT_FALSE(IsLink(link));
}

TEST(PtyServer, ReplacesAStaleLinkButNotAFile) {
    const std::string root = TempRoot();
    sim::Instrument instrument;
    ASSERT_EQ(symlink("/nonexistent", (root + "/com4").c_str()), 0);
    sim::PtyServer server(instrument);
    std::string error;
    EXPECT_TRUE(server.Open(4, &error)) << error;
    server.Close();
    const std::string file = root + "/com5";
    close(open(file.c_str(), O_CREAT | O_WRONLY, 0644));
    sim::PtyServer other(instrument);
    EXPECT_FALSE(other.Open(5, &error));
    EXPECT_NE(error.find("com5"), std::string::npos);
}

TEST(SimOptions, SwitchesAndTheirRanges) {
    sim::SimOptions o;
    std::string error;
    ASSERT_TRUE(sim::ParseOptions({"--com", "7", "--type", "0x1B3", "--echo", "--paced", "--delay", "0.5"}, &o, &error))
        << error;
    EXPECT_EQ(o.com, 7);
    EXPECT_EQ(o.typeCode, 0x1B3u);
    EXPECT_TRUE(o.faults.echo);
    EXPECT_EQ(o.line.baud, 38400);
    EXPECT_DOUBLE_EQ(o.faults.delay, 0.5);
    EXPECT_DOUBLE_EQ(o.turnaround, 0.0);  // paced: the wire time is the turnaround

    // The bench's line, and a switch of its own given with it wins in any order.
    sim::SimOptions real;
    ASSERT_TRUE(sim::ParseOptions({"--baud", "9600", "--com", "1", "--real-line", "--seed", "9"}, &real, &error))
        << error;
    EXPECT_EQ(real.line.baud, 9600);
    EXPECT_DOUBLE_EQ(real.line.usbLatency, 0.016);
    EXPECT_EQ(real.line.splitMax, 8);
    EXPECT_DOUBLE_EQ(real.line.splitGap, 0.010);
    EXPECT_EQ(real.line.seed, 9u);
    sim::SimOptions alone;
    ASSERT_TRUE(sim::ParseOptions({"--com", "1", "--split", "3,2.5", "--modem-ring", "6"}, &alone, &error)) << error;
    EXPECT_EQ(alone.line.baud, 0);
    EXPECT_DOUBLE_EQ(alone.line.usbLatency, 0.0);
    EXPECT_EQ(alone.line.splitMax, 3);
    EXPECT_DOUBLE_EQ(alone.line.splitGap, 0.0025);
    EXPECT_DOUBLE_EQ(alone.modem.ring, 6.0);

    sim::SimOptions t;
    ASSERT_TRUE(sim::ParseOptions({"--tcp", "0", "--gateway-error", "16"}, &t, &error));
    EXPECT_EQ(t.gateway.errorCode, 16);
    EXPECT_DOUBLE_EQ(t.turnaround, 0.001);

    for (const auto &bad : std::vector<std::vector<std::string>>{{},
                                                                 {"--com", "3", "--tcp", "0"},
                                                                 {"--com"},
                                                                 {"--com", "0"},
                                                                 {"--tcp", "70000"},
                                                                 {"--com", "3", "--delay", "-1"},
                                                                 {"--com", "3", "--status", "x"},
                                                                 {"--com", "3", "--split", "0,1"},
                                                                 {"--com", "3", "--split", "3"},
                                                                 {"--com", "3", "--split", "3,-1"},
                                                                 {"--com", "3", "--usb-latency", "-1"},
                                                                 {"--com", "3", "--seed", "-1"},
                                                                 {"--com", "3", "--modem-ring", "0"},
                                                                 {"--com", "3", "--bogus"}}) {
        sim::SimOptions b;
        EXPECT_FALSE(sim::ParseOptions(bad, &b, &error)) << (bad.empty() ? "" : bad[0]);
    }
}

TEST(SimProgram, SaysWhereItListensAndEndsOnSigterm) {
    TempRoot();
    sim::SimProcess process;
    std::string line;
    ASSERT_TRUE(process.Start(sim::SimProgramPath(), {"--tcp", "0"}, &line)) << sim::SimProgramPath();
    EXPECT_GT(sim::SimProcess::PortOf(line), 0) << line;
    const int status = process.Stop();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

TEST(SimProgram, RefusesABadCommandLine) {
    sim::SimProcess process;
    std::string line;
    EXPECT_FALSE(process.Start(sim::SimProgramPath(), {"--bogus"}, &line, 5.0));
}

}  // namespace
