#include <gtest/gtest.h>
#include <signal.h>

#include <cctype>
#include <cmath>
#include <ctime>

#include "platform/stop_request.h"
#include "platform/system.h"
#include "test_support.h"

using namespace platform;
using platform_test::ScopedEnv;

namespace {

std::pair<int, int> VersionFor(std::optional<std::string> value) {
    ScopedEnv env("VGX52_WINVER", value);
    int major = -1, minor = -1;
    GetWinOSVersion(&major, &minor);
    return {major, minor};
}

TEST(WinVersionTest, ComesFromTheVariableOrIsTen) {
    EXPECT_EQ(VersionFor(std::nullopt), std::make_pair(10, 0));
    EXPECT_EQ(VersionFor("5.1"), std::make_pair(5, 1));
    EXPECT_EQ(VersionFor("6"), std::make_pair(6, 0));
    EXPECT_EQ(VersionFor("10.0"), std::make_pair(10, 0));
    EXPECT_EQ(VersionFor("4"), std::make_pair(4, 0));
    EXPECT_EQ(VersionFor(" 5.2 "), std::make_pair(5, 2));
}

TEST(WinVersionTest, MalformedValuesFallBackToTen) {
    for (const char *bad : {"", "abc", "5.", ".1", "5.1.2", "-6", "6x", "99999"})
        EXPECT_EQ(VersionFor(bad), std::make_pair(10, 0)) << '"' << bad << '"';
    ScopedEnv env("VGX52_WINVER", "5.1");
    GetWinOSVersion(nullptr, nullptr);  // must not crash
}

TEST(ClockTest, DateAndTimeHaveTheRunTimeForms) {
    const std::string date = DateStr(), time = TimeStr();
    ASSERT_EQ(date.size(), 10u);
    EXPECT_EQ(date[2], '-');
    EXPECT_EQ(date[5], '-');
    const int month = std::stoi(date.substr(0, 2)), day = std::stoi(date.substr(3, 2));
    EXPECT_GE(month, 1);
    EXPECT_LE(month, 12);
    EXPECT_GE(day, 1);
    EXPECT_LE(day, 31);
    EXPECT_EQ(std::stoi(date.substr(6)), CurrentYear());
    ASSERT_EQ(time.size(), 8u);
    EXPECT_EQ(time[2], ':');
    EXPECT_EQ(time[5], ':');
    EXPECT_LE(std::stoi(time.substr(0, 2)), 23);  // 24-hour clock
    for (int i : {0, 1, 3, 4, 6, 7}) EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(time[i])));
}

TEST(ClockTest, DelayWaitsOnTheMonotonicTimerAndIgnoresNonsense) {
    const double start = Timer();
    Delay(0.05);
    const double waited = Timer() - start;
    EXPECT_GE(waited, 0.05);
    EXPECT_LT(waited, 1.0);
    const double again = Timer();
    Delay(-3);
    Delay(std::nan(""));
    EXPECT_LT(Timer() - again, 0.05);
}

}  // namespace

namespace {

// SIGTERM and SIGINT make the stop socket readable instead of ending the process.
TEST(StopRequestTest, SignalsWakeTheWaitInsteadOfEndingTheProgram) {
    ASSERT_TRUE(InstallStopRequests());
    detail::SocketPoll p{StopRequestSocket(), POLLIN, 0};
    EXPECT_EQ(detail::WaitSockets(&p, 1, 0.0), 0);
    for (int signal : {SIGTERM, SIGINT}) {
        ASSERT_EQ(raise(signal), 0);
        EXPECT_EQ(detail::WaitSockets(&p, 1, 1.0), 1) << signal;
        detail::DrainWake(detail::WakeChannel{StopRequestSocket(), detail::kNoSocket});
        EXPECT_EQ(detail::WaitSockets(&p, 1, 0.0), 0) << signal;
    }
    signal(SIGTERM, SIG_DFL);
    signal(SIGINT, SIG_DFL);
}

}  // namespace
