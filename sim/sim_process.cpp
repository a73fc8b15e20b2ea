#include "sim/sim_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/paths.h"
#include "platform/system.h"

extern char **environ;

namespace sim {

SimProcess::~SimProcess() { Stop(); }

bool SimProcess::Start(const std::string &program, const std::vector<std::string> &args, std::string *line,
                       double seconds) {
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    std::vector<std::string> all{program};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char *> argv;
    for (std::string &a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    const int rc = posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    if (rc != 0) {
        pid_ = -1;
        close(pipeFds[0]);
        return false;
    }
    output_ = pipeFds[0];

    std::string text;
    const double end = platform::Timer() + seconds;
    while (text.find('\n') == std::string::npos) {
        const double left = end - platform::Timer();
        pollfd p{output_, POLLIN, 0};
        if (left <= 0 || poll(&p, 1, static_cast<int>(left * 1000) + 1) <= 0) break;
        char buffer[256];
        const ssize_t n = read(output_, buffer, sizeof buffer);
        if (n <= 0) break;
        text.append(buffer, static_cast<std::size_t>(n));
    }
    const std::size_t eol = text.find('\n');
    if (eol == std::string::npos) {
        Stop();
        return false;
    }
    if (line) *line = text.substr(0, eol);
    return true;
}

int SimProcess::Stop() {
    if (output_ >= 0) close(output_);
    output_ = -1;
    if (pid_ <= 0) return -1;
    kill(pid_, SIGTERM);
    int status = -1;
    const double end = platform::Timer() + 5.0;
    for (;;) {
        const pid_t r = waitpid(pid_, &status, WNOHANG);
        if (r == pid_ || (r < 0 && errno != EINTR)) break;
        if (platform::Timer() > end) {
            kill(pid_, SIGKILL);
            waitpid(pid_, &status, 0);
            break;
        }
        platform::Delay(0.01);
    }
    pid_ = -1;
    return status;
}

int SimProcess::PortOf(const std::string &line) {
    const std::size_t colon = line.rfind(':');
    if (colon == std::string::npos) return -1;
    char *end = nullptr;
    const long port = std::strtol(line.c_str() + colon + 1, &end, 10);
    return (end != line.c_str() + colon + 1 && port > 0 && port < 65536) ? static_cast<int>(port) : -1;
}

std::string SimProgramPath() {
    const char *bin = std::getenv("VGX52_BIN");
    const std::string folder = (bin != nullptr && *bin != '\0') ? bin : platform::ProgramFolder();
    return folder + "/vgx52-sim";
}

}  // namespace sim
