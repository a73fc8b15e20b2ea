// The --log file: one line per frame and direction.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "cli/traffic_log.h"
#include "korvi70/traffic.h"

namespace {

using korvi70::TrafficDirection;

class TrafficLogTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/vgx52ctl-log-XXXXXX";
        const int fd = mkstemp(pattern);
        ASSERT_GE(fd, 0);
        close(fd);
        path = pattern;
    }
    void TearDown() override { unlink(path.c_str()); }

    // The lines written, without their timestamps.
    std::vector<std::string> Lines() {
        std::ifstream file(path);
        std::vector<std::string> lines;
        const std::regex shape(R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} ((TX|RX)( [0-9A-F]{2})+)$)");
        for (std::string line; std::getline(file, line);) {
            std::smatch match;
            EXPECT_TRUE(std::regex_match(line, match, shape)) << line;
            lines.push_back(match.size() > 1 ? match[1].str() : line);
        }
        return lines;
    }
    void Send(const std::string &bytes, TrafficDirection direction = TrafficDirection::Sent) {
        korvi70::ReportTraffic(direction, bytes.data(), static_cast<int>(bytes.size()));
    }
    std::string path;
    // The log's clock: it moves only when a test says so.
    double now = 100.0;
    cli::TrafficLog::Clock clock = [this] { return now; };
};

TEST_F(TrafficLogTest, LinesEndAtTheTerminatorAndAtEveryTurn) {
    cli::TrafficLog log(clock);
    ASSERT_TRUE(log.Open(path));
    Send(std::string("\xFF\xFF\x00", 3));
    Send("0071");
    Send("\x01");
    Send("\x01\xFF", TrafficDirection::Received);
    Send(std::string("\x00", 1), TrafficDirection::Received);
    Send("AB");
    log.Close();
    EXPECT_EQ(Lines(), (std::vector<std::string>{"TX FF FF 00 30 30 37 31 01", "RX 01", "RX FF 00", "TX 41 42"}));
}

TEST_F(TrafficLogTest, ClosingStopsObserving) {
    {
        cli::TrafficLog log(clock);
        ASSERT_TRUE(log.Open(path));
        Send("A");
    }
    Send("B");  // no observer any more
    EXPECT_EQ(Lines(), (std::vector<std::string>{"TX 41"}));
}

TEST_F(TrafficLogTest, APauseEndsALine) {
    cli::TrafficLog log(clock);
    ASSERT_TRUE(log.Open(path));
    Send("\xFF\x55");
    now += 0.015;  // a gap within the 20 ms of a frame
    Send("\x33");
    now += 0.025;
    Send("\xFF");
    log.Close();
    EXPECT_EQ(Lines(), (std::vector<std::string>{"TX FF 55 33", "TX FF"}));
}

TEST_F(TrafficLogTest, ALineWithoutTerminatorIsCut) {
    cli::TrafficLog log(clock);
    ASSERT_TRUE(log.Open(path));
    Send(std::string(1500, 'x'), TrafficDirection::Received);
    log.Close();
    const auto lines = Lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].size(), 2 + 3 * 1024u);
    EXPECT_EQ(lines[1].size(), 2 + 3 * 476u);
}

TEST_F(TrafficLogTest, AFileThatCannotBeWrittenIsReported) {
    cli::TrafficLog log(clock);
    EXPECT_FALSE(log.Open("/nonexistent-folder/log.txt"));
    EXPECT_EQ(log.Failure(), std::strerror(ENOENT));
    ASSERT_TRUE(log.Open(path));
    EXPECT_EQ(log.Failure(), "") << "a new file, a new start";
    log.Close();
}

// A log that fills the disk part-way says so once it is closed: a record
// of the traffic that silently ends would mislead whoever reads it.
TEST_F(TrafficLogTest, ALineThatCannotBeWrittenIsReportedWithTheReason) {
    cli::TrafficLog log(clock);
    ASSERT_TRUE(log.Open("/dev/full"));
    Send("0071\x01");
    Send("AB\x01");
    log.Close();
    EXPECT_EQ(log.Failure(), std::strerror(ENOSPC));
}

}  // namespace
