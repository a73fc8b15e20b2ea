// A drive root and a program folder with the tools' resource file, on the
// headless back end: what the data-file readers' tests share.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace toolvane_test {

class DataFileTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes Windows-1250 text lines ending with CR LF under the program
    // folder; returns the host path.
    std::string WriteLines(const std::string &name, const std::vector<std::string> &lines);
    // Runs `watch` at every look for the stop button (one per line read).
    void WatchEveryLine(std::function<void()> watch);

    std::filesystem::path root_, program_;

private:
    std::function<void()> watch_;
    void QueueWatch();
};

}  // namespace toolvane_test
