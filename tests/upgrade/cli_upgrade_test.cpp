// The upgrade command of vgx52ctl in-process: its arguments and its progress
// on a terminal and in a log.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/command_table.h"
#include "cli/upgrade_progress.h"

namespace {

// A stream into memory, read back as text.
class MemoryStream {
public:
    MemoryStream() : file(open_memstream(&buffer, &size)) {}
    ~MemoryStream() {
        if (file != nullptr) std::fclose(file);
        std::free(buffer);
    }
    std::string Text() {
        std::fflush(file);
        return std::string(buffer, size);
    }
    std::FILE *file;

private:
    char *buffer = nullptr;
    std::size_t size = 0;
};

int Count(const std::string &text, const std::string &part) {
    int n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++n;
    return n;
}

TEST(UpgradeCommand, ArgumentsAreAFileAnOptionalHardwareVersionAndNoBackup) {
    const cli::Command *command = cli::FindCommand("upgrade");
    ASSERT_NE(command, nullptr);
    struct Case {
        std::vector<std::string> args;
        bool ok;
        long hw;
        long noBackup = 0;
    };
    const std::vector<Case> cases = {
        {{"f.hex"}, true, 0},
        {{"f.hex", "--hw", "3"}, true, 3},
        {{"--hw=8", "f.hex"}, true, 8},
        {{"f.hex", "--no-backup", "--hw", "2"}, true, 2, 1},
        {{"--no-backup"}, false, 0},
        {{"f.hex", "--hw", "0"}, false, 0},
        {{"f.hex", "--hw", "9"}, false, 0},
        {{"f.hex", "--hw"}, false, 0},
        {{}, false, 0},
        {{"a", "b"}, false, 0},
        {{"f.hex", "--fast"}, false, 0},
        {{"f.hex", "--hw=x"}, false, 0},
    };
    for (const Case &c : cases) {
        cli::Params params;
        cli::ArgError error;
        const bool ok = command->parse(c.args, params, error);
        EXPECT_EQ(ok, c.ok) << (c.args.empty() ? "(none)" : c.args.back());
        if (ok) {
            EXPECT_EQ(params.text, c.args[0] == "--hw=8" ? c.args[1] : c.args[0]);
            EXPECT_EQ(params.number[0], c.hw);
            EXPECT_EQ(params.number[1], c.noBackup);
        } else {
            EXPECT_FALSE(error.message.empty());
        }
    }
}

TEST(UpgradeProgress, BarShowsPagesRateAndTimeLeft) {
    EXPECT_EQ(cli::UpgradeProgress::BarText(120, 480, 10.0, 256),
              "[#######.......................] 120/480 pages  3072 B/s  0:30 left");
    EXPECT_EQ(cli::UpgradeProgress::BarText(0, 480, 0.0, 256),
              "[..............................] 0/480 pages  0 B/s  -:-- left");
    EXPECT_EQ(cli::UpgradeProgress::BarText(480, 480, 12.8, 256),
              "[##############################] 480/480 pages  9600 B/s  0:00 left");
    // Out-of-range counts stay on the bar.
    EXPECT_EQ(cli::UpgradeProgress::BarText(9, 3, 1.0, 256).substr(0, 32), "[" + std::string(30, '#') + "]");
}

TEST(UpgradeProgress, Durations) {
    EXPECT_EQ(cli::UpgradeProgress::Duration(0), "0:00");
    EXPECT_EQ(cli::UpgradeProgress::Duration(59.6), "1:00");
    EXPECT_EQ(cli::UpgradeProgress::Duration(3725), "1:02:05");
    EXPECT_EQ(cli::UpgradeProgress::Duration(-1), "-:--");
    EXPECT_EQ(cli::UpgradeProgress::Duration(1e300), "-:--");
}

TEST(UpgradeProgress, LogGetsAPlainLineAtEveryTenth) {
    MemoryStream stream;
    cli::UpgradeProgress progress(stream.file, false, 256);
    progress.Start(480, 100.0);
    for (int done = 1; done <= 480; ++done) progress.Update(done, 100.0 + done * 0.01);
    progress.Finish();
    const std::string text = stream.Text();
    EXPECT_EQ(text.rfind("upgrade: sending 480 pages\n", 0), 0u);
    EXPECT_EQ(Count(text, "\n"), 11);
    EXPECT_EQ(Count(text, "\r"), 0);
    EXPECT_NE(text.find("48/480 pages"), std::string::npos);
    EXPECT_NE(text.find("480/480 pages"), std::string::npos);
}

TEST(UpgradeProgress, TerminalRedrawsOneLineAtMostTenTimesASecond) {
    MemoryStream stream;
    cli::UpgradeProgress progress(stream.file, true, 256);
    progress.Start(480, 0.0);
    // 480 pages in 2 s: about 20 redraws, and always the last.
    for (int done = 1; done <= 480; ++done) progress.Update(done, done * (2.0 / 480));
    progress.Finish();
    const std::string text = stream.Text();
    const int redraws = Count(text, "\r");
    EXPECT_GE(redraws, 15);
    EXPECT_LE(redraws, 25);
    EXPECT_EQ(Count(text, "\033[K"), redraws);
    EXPECT_EQ(Count(text, "\n"), 1);
    EXPECT_EQ(text.back(), '\n');
    EXPECT_NE(text.find("480/480 pages"), std::string::npos);
}

}  // namespace
