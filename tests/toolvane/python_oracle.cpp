#include "python_oracle.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace toolvane_test {

namespace {

constexpr const char *kPython = "/usr/bin/python3";

int RunToStatus(const std::string &command, std::vector<std::string> *lines) {
    FILE *pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return -1;
    std::string current;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        for (size_t i = 0; i < n; ++i) {
            if (buffer[i] == '\n') {
                if (lines != nullptr) lines->push_back(current);
                current.clear();
            } else {
                current += buffer[i];
            }
        }
    }
    if (!current.empty() && lines != nullptr) lines->push_back(current);
    const int status = pclose(pipe);
    return (status != -1 && WIFEXITED(status)) ? WEXITSTATUS(status) : -1;
}

}  // namespace

PythonResult RunPython(const std::string &script, const std::vector<std::string> &input,
                       const std::string &requiredModules) {
    PythonResult result;
    if (access(kPython, X_OK) != 0) return result;
    if (!requiredModules.empty() &&
        RunToStatus(std::string(kPython) + " -c 'import " + requiredModules + "' 2>/dev/null", nullptr) != 0)
        return result;
    result.available = true;

    std::string folderTemplate = (std::filesystem::temp_directory_path() / "toolvane-py-XXXXXX").string();
    if (mkdtemp(folderTemplate.data()) == nullptr) return result;
    const std::filesystem::path folder = folderTemplate;
    {
        std::ofstream(folder / "oracle.py") << script;
        std::ofstream data(folder / "input.txt");
        for (const std::string &line : input) data << line << '\n';
    }
    const std::string command =
        std::string(kPython) + " '" + (folder / "oracle.py").string() + "' '" + (folder / "input.txt").string() + "'";
    result.ok = RunToStatus(command, &result.lines) == 0;
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    return result;
}

}  // namespace toolvane_test
