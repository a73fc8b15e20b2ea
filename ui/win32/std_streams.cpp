#include "ui/win32/std_streams.h"

#include <windows.h>

#include <cstdio>

namespace ui::win32 {
namespace {

bool Leads(DWORD which) {
    HANDLE handle = GetStdHandle(which);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE;
}

}  // namespace

void ConnectStandardStreams() {
    const bool out = Leads(STD_OUTPUT_HANDLE), err = Leads(STD_ERROR_HANDLE);
    if (out && err) return;
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
    if (!out) (void)std::freopen("CONOUT$", "w", stdout);
    if (!err) (void)std::freopen("CONOUT$", "w", stderr);
}

}  // namespace ui::win32
