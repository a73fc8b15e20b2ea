// The program itself, with its Qt windows on the offscreen platform, against
// the simulated instrument on a pseudo-terminal: what its status line shows
// is read from the trace file it writes (VGX52_TRACE).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "sim/sim_process.h"
#include "ui/VGX52_G.h"

namespace fs = std::filesystem;

namespace {

constexpr int kPort = 3;
constexpr const char kData[] = "c/ProgramData/BRANDOLUX SoftWare Data";
constexpr const char kConnected[] = "Jest połączenie z przyrządem";
constexpr const char kNoAnswer[] = "Brak połączenia";

std::string BinFolder() {
    const char *bin = std::getenv("VGX52_BIN");
    return bin ? bin : "";
}

struct TraceLine {
    double time = 0;
    int panel = 0, control = 0;
    std::string colour, text;
};

// "12.345 panel 1 control 2 colour 008000 text Jest połączenie z przyrządem"
std::vector<TraceLine> ReadTrace(const std::string &file) {
    std::vector<TraceLine> lines;
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        TraceLine t;
        std::string panel, control, colour, text;
        if (!(words >> t.time >> panel >> t.panel >> control >> t.control >> colour >> t.colour >> text)) continue;
        std::getline(words, t.text);
        if (!t.text.empty() && t.text[0] == ' ') t.text.erase(0, 1);
        lines.push_back(t);
    }
    return lines;
}

bool WaitFor(const std::function<bool()> &done, double seconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end) {
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return done();
}

class QtProgram : public ::testing::Test {
protected:
    void SetUp() override {
        if (BinFolder().empty() || !fs::exists(BinFolder() + "/vgx52") || !fs::exists(BinFolder() + "/vgx52-sim"))
            GTEST_SKIP() << "vgx52 or vgx52-sim not built";
        root_ = (fs::temp_directory_path() / ("vgx52-qt-e2e-" + std::to_string(getpid()) + "-" +
                                              ::testing::UnitTest::GetInstance()->current_test_info()->name()))
                    .string();
        fs::remove_all(root_);
        fs::create_directories(root_ + "/" + kData);
        trace_ = root_ + "/trace.txt";
        setenv("VGX52_ROOT", root_.c_str(), 1);
        std::string line;
        ASSERT_TRUE(sim_.Start(BinFolder() + "/vgx52-sim", {"--com", std::to_string(kPort)}, &line)) << line;
    }

    void TearDown() override {
        if (program_ > 0) {
            kill(program_, SIGKILL);
            waitpid(program_, nullptr, 0);
        }
        if (sim_.Pid() > 0) {
            kill(sim_.Pid(), SIGCONT);
            sim_.Stop();
        }
        unsetenv("VGX52_ROOT");
        if (!root_.empty() && !HasFailure()) fs::remove_all(root_);
    }

    // Starts `vgx52 port:N` (or with `argument`) on the offscreen platform,
    // or with no display at all, with the given extra environment ("NAME=value").
    void StartProgram(const std::vector<std::string> &environment = {}, bool display = true,
                      std::string argument = "") {
        if (argument.empty()) argument = "port:" + std::to_string(kPort);
        program_ = fork();
        ASSERT_GE(program_, 0);
        if (program_ == 0) {
            if (display) {
                setenv("QT_QPA_PLATFORM", "offscreen", 1);
            } else {
                unsetenv("QT_QPA_PLATFORM");
                unsetenv("DISPLAY");
                unsetenv("WAYLAND_DISPLAY");
            }
            setenv("VGX52_TRACE", trace_.c_str(), 1);
            unsetenv("VGX52_UI");
            for (const std::string &e : environment) putenv(const_cast<char *>(e.c_str()));
            const int log = open((root_ + "/program.log").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (log >= 0) {
                dup2(log, STDOUT_FILENO);
                dup2(log, STDERR_FILENO);
            }
            const std::string program = BinFolder() + "/vgx52";
            execl(program.c_str(), program.c_str(), argument.c_str(), static_cast<char *>(nullptr));
            _exit(127);
        }
    }

    // Exit code once the program ends within `seconds`; -1 if it does not.
    int WaitExit(double seconds) {
        int status = 0;
        const bool ended = WaitFor([&] { return waitpid(program_, &status, WNOHANG) == program_; }, seconds);
        if (!ended) return -1;
        program_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

    // The first status-line change from line `from` on with this text and colour.
    int FindStatus(const std::string &text, const std::string &colour, std::size_t from) {
        const std::vector<TraceLine> lines = ReadTrace(trace_);
        for (std::size_t i = from; i < lines.size(); ++i)
            if (lines[i].panel == PANEL_GL && lines[i].control == PANEL_GL_STATUS && lines[i].text == text &&
                lines[i].colour == colour)
                return static_cast<int>(i);
        return -1;
    }

    int WaitStatus(const std::string &text, const std::string &colour, std::size_t from, double seconds) {
        int found = -1;
        WaitFor([&] { return (found = FindStatus(text, colour, from)) >= 0; }, seconds);
        return found;
    }

    std::string Log() {
        std::ifstream in(root_ + "/program.log");
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    std::string root_, trace_;
    sim::SimProcess sim_;
    pid_t program_ = -1;
};

TEST_F(QtProgram, FollowsTheInstrumentThroughSilenceAndBack) {
    StartProgram();
    // Connected on the first poll, one polling period (1 s) after the link
    // opened: by the program's own clock, counted from the main panel's
    // making, before a second poll could have come (2 s).
    const int connected = WaitStatus(kConnected, "008000", 0, 20.0);
    ASSERT_GE(connected, 0) << Log();
    const std::vector<TraceLine> lines = ReadTrace(trace_);
    const double firstPoll = lines[static_cast<std::size_t>(connected)].time - lines.front().time;
    EXPECT_GE(firstPoll, 1.0);
    EXPECT_LT(firstPoll, 1.9);
    bool named = false;
    for (const TraceLine &l : lines)
        named = named || (l.control == PANEL_GL_NAZWA && l.text.find("VGX52") != std::string::npos);
    EXPECT_TRUE(named) << "the instrument's name is shown";

    // The instrument falls silent (stopped, its line stays): no answer
    // within a poll and its five attempts.
    ASSERT_EQ(kill(sim_.Pid(), SIGSTOP), 0);
    const int silent = WaitStatus(kNoAnswer, "800000", static_cast<std::size_t>(connected) + 1, 5.0);
    ASSERT_GE(silent, 0) << Log();

    // It answers again: connected on a following poll, nothing else done.
    ASSERT_EQ(kill(sim_.Pid(), SIGCONT), 0);
    EXPECT_GE(WaitStatus(kConnected, "008000", static_cast<std::size_t>(silent) + 1, 5.0), 0) << Log();
    EXPECT_EQ(waitpid(program_, nullptr, WNOHANG), 0) << "still running";
}

TEST_F(QtProgram, ScreenshotOfTheMainWindowEndsTheProgram) {
    const std::string shot = root_ + "/main.png";
    const std::string shotEnv = "VGX52_SCREENSHOT=" + shot;
    StartProgram({shotEnv, "VGX52_SCREENSHOT_AFTER=1.5"});
    EXPECT_EQ(WaitExit(30.0), 0) << Log();
    std::ifstream in(shot, std::ios::binary);
    char signature[8] = {};
    in.read(signature, sizeof signature);
    EXPECT_EQ(std::string(signature, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    EXPECT_GE(FindStatus(kConnected, "008000", 0), 0) << "taken after the first poll";
    // Ended like a window closed by the system: the configuration stays unwritten.
    EXPECT_FALSE(fs::exists(root_ + "/" + kData + "/VGX52.kfg"));
}

// Without a display the program runs on the console back end: it says why
// no window appears, opens the link, and with nobody to operate it ends
// with 1, its configuration file untouched.
TEST_F(QtProgram, WithoutADisplayRunsOnTheConsole) {
    StartProgram({}, false);
    EXPECT_EQ(WaitExit(30.0), 1) << Log();
    EXPECT_NE(Log().find("vgx52: no display"), std::string::npos) << Log();
    EXPECT_FALSE(fs::exists(root_ + "/" + kData + "/VGX52.kfg"));
}

TEST_F(QtProgram, AssociateNeedsNoDisplay) {
    const std::string file = root_ + "/" + kData + "/Korvi70 Programs Associates.kfg";
    std::ofstream(file, std::ios::binary).close();
    StartProgram({}, false, "associate");
    EXPECT_EQ(WaitExit(30.0), 0) << Log();
    std::ifstream in(file, std::ios::binary);
    const std::string record((std::istreambuf_iterator<char>(in)), {});
    EXPECT_NE(record.find("\tLabel:\"User Program for Gas Parameter Measurement Device, model VGX52, software "
                          "version: 1.01\"\r\n"),
              std::string::npos)
        << record;
}

}  // namespace
