// The current folder for the life of a test: files the program names
// without a folder (panel-state files, a firmware file) are found there.
#pragma once
#include <filesystem>
#include <string>
#include <system_error>

namespace testdrive {

class InFolder {
public:
    explicit InFolder(const std::string &folder) : previous_(std::filesystem::current_path()) {
        std::filesystem::current_path(folder);
    }
    ~InFolder() {
        std::error_code ignored;
        std::filesystem::current_path(previous_, ignored);
    }
    InFolder(const InFolder &) = delete;
    InFolder &operator=(const InFolder &) = delete;

private:
    std::filesystem::path previous_;
};

}  // namespace testdrive
