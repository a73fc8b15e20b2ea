// Runs a short script under Debian's /usr/bin/python3 to compute expected
// values independently of the code under test.
#pragma once
#include <string>
#include <vector>

namespace toolvane_test {

struct PythonResult {
    bool available = false;          // interpreter and every required module present
    bool ok = false;                 // the script ran and exited with 0
    std::vector<std::string> lines;  // its standard output, line by line
};

// The script gets the input lines in the file named by sys.argv[1].
// requiredModules are imported first; if that fails, available is false.
PythonResult RunPython(const std::string &script, const std::vector<std::string> &input,
                       const std::string &requiredModules = "");

}  // namespace toolvane_test
