#include "test_env.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "tests/support/drive_path.h"
#include "toolvane/system_info.h"

namespace fs = std::filesystem;

namespace apptest {

TempDrive::TempDrive(const char *winver) {
    std::string pattern = (fs::temp_directory_path() / "vgx52-app-XXXXXX").string();
    char *made = mkdtemp(pattern.data());
    if (made == nullptr) ADD_FAILURE() << "mkdtemp failed";
    root_ = pattern;
    setenv("VGX52_ROOT", root_.c_str(), 1);
    setenv("VGX52_WINVER", winver, 1);
}

TempDrive::~TempDrive() {
    toolvane::SetProgramFolderForTests(nullptr);
    std::error_code ignored;
    fs::remove_all(root_, ignored);
    unsetenv("VGX52_ROOT");
    unsetenv("VGX52_WINVER");
}

std::string TempDrive::Host(const std::string &windowsPath) const { return testdrive::HostPath(root_, windowsPath); }

void TempDrive::MakeFolder(const std::string &windowsPath) const { fs::create_directories(Host(windowsPath)); }

std::string TempDrive::UseProgramFolder(bool withResource) const {
    const std::string folder = root_ + "/program";
    fs::create_directories(folder);
    if (withResource)
        fs::copy_file(SourceResourceFile(), folder + "/VGX52_G.uir", fs::copy_options::overwrite_existing);
    else
        fs::remove(folder + "/VGX52_G.uir");
    toolvane::SetProgramFolderForTests(folder.c_str());
    return folder;
}

std::string ReadBytes(const std::string &hostPath) {
    std::ifstream in(hostPath, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

bool Exists(const std::string &hostPath) { return fs::exists(hostPath); }

void WriteBytes(const std::string &hostPath, const std::string &bytes) {
    fs::create_directories(fs::path(hostPath).parent_path());
    std::ofstream out(hostPath, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string SourceResourceFile() {
    const char *source = std::getenv("VGX52_SOURCE");
    return std::string(source ? source : ".") + "/ui/VGX52_G.uir";
}

}  // namespace apptest
