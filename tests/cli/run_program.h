// Runs a program to its end with its output captured, bounded in time.
#pragma once
#include <string>
#include <vector>

namespace cli_test {

struct ProgramResult {
    int status = -1;  // exit status; -1 when it did not end normally
    std::string out;  // standard output
    std::string err;  // standard error
};

// The built program `name`: in $VGX52_BIN, else the current folder.
std::string Bin(const std::string &name);

// Starts program with args in the current environment; kills it after
// `seconds`.
ProgramResult RunProgram(const std::string &program, const std::vector<std::string> &args, double seconds = 30.0);

}  // namespace cli_test
