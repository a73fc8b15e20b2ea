#include <windows.h>

#include <cstdio>

#include "sim/program.h"

namespace sim {
namespace {

platform::detail::WakeChannel g_stop;

// Runs on a thread of its own that the system starts for the event.
BOOL WINAPI OnConsoleEvent(DWORD) {
    platform::detail::Wake(g_stop);
    return TRUE;
}

}  // namespace

bool InstallStopRequests() { return platform::detail::OpenWake(g_stop) && SetConsoleCtrlHandler(OnConsoleEvent, TRUE); }

platform::detail::SocketHandle StopSocket() { return g_stop.reader; }

int ServePty(Instrument &, const SimOptions &) {
    std::fputs("vgx52-sim: --com needs a pseudo-terminal, which Windows does not have; use --tcp\n", stderr);
    return 1;
}

}  // namespace sim
