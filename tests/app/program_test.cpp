// The program itself, started as a process the way an installer or the
// operator starts it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "test_env.h"

namespace fs = std::filesystem;

namespace {

const std::string kData = "C:\\ProgramData\\BRANDOLUX SoftWare Data";

std::string BinFolder() {
    const char *bin = std::getenv("VGX52_BIN");
    return bin ? bin : "";
}

// Starts a program with the given arguments; stdout goes to *out if given,
// stderr to *err.
pid_t Start(const std::string &program, const std::vector<std::string> &args, int *out, int *err = nullptr) {
    int pipeFds[2] = {-1, -1}, errFds[2] = {-1, -1};
    if (out && pipe(pipeFds) != 0) return -1;
    if (err && pipe(errFds) != 0) return -1;
    const pid_t pid = fork();
    if (pid == 0) {
        const int devNull = open("/dev/null", O_WRONLY);
        dup2(out ? pipeFds[1] : devNull, STDOUT_FILENO);
        dup2(err ? errFds[1] : devNull, STDERR_FILENO);
        std::vector<char *> argv;
        std::string name = program;
        argv.push_back(name.data());
        std::vector<std::string> copy = args;
        for (std::string &a : copy) argv.push_back(a.data());
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    if (out) {
        close(pipeFds[1]);
        *out = pipeFds[0];
    }
    if (err) {
        close(errFds[1]);
        *err = errFds[0];
    }
    return pid;
}

std::string ReadAll(int fd) {
    std::string text;
    char buffer[512];
    for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<std::size_t>(n));
    close(fd);
    return text;
}

// Exit code of a process, or -1 when it had to be killed after 60 s.
int Wait(pid_t pid) {
    for (int i = 0; i < 6000; ++i) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -2;
        usleep(10000);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return -1;
}

int RunProgram(const std::vector<std::string> &args) { return Wait(Start(BinFolder() + "/vgx52", args, nullptr)); }

// Runs the program and gives its exit status, with what it wrote to stderr.
int RunProgram(const std::vector<std::string> &args, std::string *written) {
    int err = -1;
    const pid_t pid = Start(BinFolder() + "/vgx52", args, nullptr, &err);
    if (pid <= 0) return -1;
    *written = ReadAll(err);
    return Wait(pid);
}

class AppProgram : public ::testing::Test {
protected:
    void SetUp() override {
        if (BinFolder().empty() || !fs::exists(BinFolder() + "/vgx52")) GTEST_SKIP() << "vgx52 not built";
        drive_.MakeFolder(kData);
        // Nothing here drives windows: the program runs without a display,
        // as on a console, and falls back to its console back end.
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
            if (const char *value = std::getenv(name)) saved_.emplace_back(name, value);
            unsetenv(name);
        }
    }
    void TearDown() override {
        for (const auto &[name, value] : saved_) setenv(name.c_str(), value.c_str(), 1);
    }
    apptest::TempDrive drive_{"10.0"};
    std::vector<std::pair<std::string, std::string>> saved_;
};

TEST_F(AppProgram, AssociateRecordsTheProgramsRealPath) {
    const std::string file = drive_.Host(kData + "\\Korvi70 Programs Associates.kfg");
    apptest::WriteBytes(file, "");
    ASSERT_EQ(RunProgram({"associate"}), 0);
    // Started through a link of another name, it still records its own file.
    const std::string link = drive_.root() + "/meter";
    ASSERT_EQ(symlink((BinFolder() + "/vgx52").c_str(), link.c_str()), 0);
    ASSERT_EQ(Wait(Start(link, {"ASSOCIATE"}, nullptr)), 0);
    const std::string bin = fs::canonical(BinFolder()).string();
    const std::string record =
        "\r\n# 01B0\tGUID:{3D0B5E27-91C4-4A6E-B2F3-7C18E9A04D55}\tProgram:\"" + bin + "/vgx52\"\tIcon:\"" + bin +
        "/VGX52.ico\"\tLabel:\"User Program for Gas Parameter Measurement Device, model VGX52, software "
        "version: 1.01\"\r\n";
    EXPECT_EQ(apptest::ReadBytes(file), record + record);
    EXPECT_FALSE(apptest::Exists(drive_.Host(kData + "\\VGX52.kfg")));
}

TEST_F(AppProgram, AssociateWithoutTheFileSaysSoOnStderrAndFails) {
    int err = -1;
    const pid_t pid = Start(BinFolder() + "/vgx52", {"associate"}, nullptr, &err);
    ASSERT_GT(pid, 0);
    const std::string written = ReadAll(err);
    EXPECT_EQ(Wait(pid), 1);
    EXPECT_EQ(written,
              "An error occurred: Uninstall this software, install BRANDOLUX USB SoftWare luncher, and after that "
              "install this software again\n");
    EXPECT_FALSE(apptest::Exists(drive_.Host(kData + "\\Korvi70 Programs Associates.kfg")));
}

TEST_F(AppProgram, NoPortAndNoAnswerFails) {
    EXPECT_EQ(RunProgram({}), 1);
    EXPECT_FALSE(apptest::Exists(drive_.Host(kData + "\\VGX52.kfg")));
}

TEST_F(AppProgram, PortThatCannotBeOpenedFails) {
    ASSERT_EQ(symlink((drive_.root() + "/none").c_str(), (drive_.root() + "/com9").c_str()), 0);
    std::string written;
    EXPECT_EQ(RunProgram({"port:9"}, &written), 1);
    EXPECT_NE(written.find("Error ocures: Error in initialization of Korvi70 connection."), std::string::npos)
        << written;
    EXPECT_FALSE(apptest::Exists(drive_.Host(kData + "\\VGX52.kfg")));
}

TEST_F(AppProgram, OpensASimulatedInstrumentOnAPseudoTerminal) {
    const std::string simProgram = BinFolder() + "/vgx52-sim";
    if (!fs::exists(simProgram)) GTEST_SKIP() << "vgx52-sim not built";
    int out = -1;
    const pid_t sim = Start(simProgram, {"--com", "9"}, &out);
    ASSERT_GT(sim, 0);
    // The simulator says where it listens once the link is in place.
    pollfd p{out, POLLIN, 0};
    ASSERT_EQ(poll(&p, 1, 10000), 1);
    char line[256] = {};
    ASSERT_GT(read(out, line, sizeof line - 1), 0);
    close(out);

    // Without windows nobody can operate the main screen: the program opens
    // the link without a word against it, then ends with 1 without saving.
    std::string written;
    EXPECT_EQ(RunProgram({"port:9"}, &written), 1);
    EXPECT_EQ(written.find("Error ocures"), std::string::npos) << written;
    EXPECT_FALSE(apptest::Exists(drive_.Host(kData + "\\VGX52.kfg")));
    kill(sim, SIGTERM);
    Wait(sim);
}

}  // namespace
