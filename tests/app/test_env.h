// Test helpers: a temporary drive root with the maker's folders, a program
// folder holding (or lacking) the resource file, and whole-file bytes.
#pragma once
#include <string>

namespace apptest {

// A fresh drive root (VGX52_ROOT) and Windows version (VGX52_WINVER) for
// one test; removed again at the end of the test.
class TempDrive {
public:
    explicit TempDrive(const char *winver = "10.0");
    ~TempDrive();
    TempDrive(const TempDrive &) = delete;
    TempDrive &operator=(const TempDrive &) = delete;

    const std::string &root() const { return root_; }
    // Host path of a Windows path: under this root (drive letter lower case)
    // on Linux, the path itself on Windows.
    std::string Host(const std::string &windowsPath) const;
    // Creates the folder of a Windows path (all levels).
    void MakeFolder(const std::string &windowsPath) const;
    // A program folder under the root, with the program's resource file
    // beside it when withResource is set; used as the program folder.
    std::string UseProgramFolder(bool withResource) const;

private:
    std::string root_;
};

inline constexpr const char kDataVista[] = "C:\\ProgramData\\BRANDOLUX SoftWare Data";
inline constexpr const char kDataXp[] = "C:\\Documents and Settings\\BRANDOLUX SoftWare Data";

std::string ReadBytes(const std::string &hostPath);  // empty when absent
bool Exists(const std::string &hostPath);
void WriteBytes(const std::string &hostPath, const std::string &bytes);
// The resource file of the source tree.
std::string SourceResourceFile();

}  // namespace apptest
