// The Windows version and the clock on Windows.
#include <gtest/gtest.h>

#include <windows.h>

#include "platform/system.h"

using namespace platform;

namespace {

TEST(WindowsSystemTest, VersionIsTheSystemsOwnNotTheCompatibilityValue) {
    // GetVersionEx() answers 6.2 to a program without a Windows 10 manifest;
    // the kernel's own numbers are what the program must see.
    using RtlGetVersionFn = LONG(WINAPI *)(OSVERSIONINFOW *);
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    const auto get = reinterpret_cast<RtlGetVersionFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
    ASSERT_NE(get, nullptr);
    ASSERT_EQ(get(&info), 0);
    int major = -1, minor = -1;
    // The variable the Linux build answers to changes nothing here.
    _putenv_s("VGX52_WINVER", "5.1");
    GetWinOSVersion(&major, &minor);
    _putenv_s("VGX52_WINVER", "");
    EXPECT_EQ(major, static_cast<int>(info.dwMajorVersion));
    EXPECT_EQ(minor, static_cast<int>(info.dwMinorVersion));
    EXPECT_GE(major, 5);
    GetWinOSVersion(nullptr, nullptr);  // must not crash
}

TEST(WindowsSystemTest, DelayIsNeitherShortNorTicksLong) {
    for (double seconds : {0.002, 0.05}) {
        const double start = Timer();
        Delay(seconds);
        const double waited = Timer() - start;
        EXPECT_GE(waited, seconds);
        // Sleep() alone would round 2 ms up to a 15.6 ms tick.
        EXPECT_LT(waited, seconds + 0.012) << seconds;
    }
    const double start = Timer();
    Delay(-1);
    Delay(0);
    EXPECT_LT(Timer() - start, 0.01);
}

}  // namespace
