// Where a test puts a file that the program finds at a fixed Windows path
// ("C:\Korvi70.Kfg", "P:\Toolvane\..."): on Linux under the test's own drive
// root (drive X: is <root>/x, backslashes become slashes); on Windows at that
// very path, on the real drive, which the Windows suites touch only when it
// is scratch (tests/windows/scratch_drive.cpp).
#pragma once
#include <cctype>
#include <string>

namespace testdrive {

#ifdef _WIN32
inline std::string HostPath(const std::string & /*root*/, const std::string &windowsPath) { return windowsPath; }
#else
inline std::string HostPath(const std::string &root, const std::string &windowsPath) {
    std::string path = windowsPath;
    std::string drive = "c";
    if (path.size() >= 2 && path[1] == ':') {
        drive = std::string(1, static_cast<char>(std::tolower(static_cast<unsigned char>(path[0]))));
        path = path.substr(2);
    }
    for (char &c : path)
        if (c == '\\') c = '/';
    return root + "/" + drive + path;
}
#endif

}  // namespace testdrive
