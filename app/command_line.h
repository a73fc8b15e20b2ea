// The program's command line: "port:N" and "associate".
#pragma once

namespace app {

struct CommandLine {
    int port = 1;       // number from the last "port:" argument with a number
    int portGiven = 0;  // 1 once such an argument was found
    int associate = 0;  // 1 once an argument contains "associate"
};

// Scans argv[1..argc-1], every one of them. An argument counts as "port:"
// when its first five characters are "port:" in any case; the number after
// them may have leading blanks and is not range-checked. "associate" counts
// anywhere in an argument, in any case.
CommandLine ScanCommandLine(int argc, const char *const *argv);

}  // namespace app
