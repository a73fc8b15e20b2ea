// The version of the running Windows. GetVersionEx() answers what the
// program's manifest allows it to know (6.2 for a program that does not
// declare Windows 10); RtlGetVersion() gives the system's own numbers.
#include <windows.h>

#include "platform/system.h"

namespace platform {
namespace {

using RtlGetVersionFn = LONG(WINAPI *)(OSVERSIONINFOW *);

}  // namespace

void GetWinOSVersion(int *major, int *minor) {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    int ma = 10, mi = 0;  // every supported system has ntdll, so this stays unused
    if (HMODULE ntdll = GetModuleHandleW(L"ntdll.dll")) {
        const auto get =
            reinterpret_cast<RtlGetVersionFn>(reinterpret_cast<void (*)()>(GetProcAddress(ntdll, "RtlGetVersion")));
        if (get && get(&info) == 0) {
            ma = static_cast<int>(info.dwMajorVersion);
            mi = static_cast<int>(info.dwMinorVersion);
        }
    }
    if (major) *major = ma;
    if (minor) *minor = mi;
}

}  // namespace platform
