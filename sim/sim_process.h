// Runs vgx52-sim as a child process for tests and benchmarks: starts it,
// waits for the line that says where it listens, and ends it with SIGTERM.
#pragma once
#include <sys/types.h>

#include <string>
#include <vector>

namespace sim {

class SimProcess {
public:
    SimProcess() = default;
    ~SimProcess();
    SimProcess(const SimProcess &) = delete;
    SimProcess &operator=(const SimProcess &) = delete;

    // Starts program with args and waits up to `seconds` for its first line
    // of output (returned in *line without the line end).
    bool Start(const std::string &program, const std::vector<std::string> &args, std::string *line,
               double seconds = 10.0);
    // SIGTERM, then up to 5 s for the exit (SIGKILL after that). Returns
    // the exit status as waitpid gives it, or -1 when nothing runs.
    int Stop();
    pid_t Pid() const { return pid_; }

    // The TCP port at the end of a "listening on 127.0.0.1:PORT" line; -1 if none.
    static int PortOf(const std::string &line);

private:
    pid_t pid_ = -1;
    int output_ = -1;
};

// Where the vgx52-sim program is: $VGX52_BIN, else the folder of the running program.
std::string SimProgramPath();

}  // namespace sim
