#include <windows.h>

#include "platform/stop_request.h"

namespace platform {
namespace {

detail::WakeChannel g_stop;
HANDLE g_done = nullptr;

// Runs on a thread of its own that the system starts for the event. Once
// this returns for a closed console, a log-off or a shut-down, Windows ends
// the process: the program is given time to close its connections first.
BOOL WINAPI OnConsoleEvent(DWORD event) {
    detail::Wake(g_stop);
    if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT)
        WaitForSingleObject(g_done, 4000);
    return TRUE;
}

}  // namespace

bool InstallStopRequests() {
    if (g_stop.reader == detail::kNoSocket && !detail::OpenWake(g_stop)) return false;
    if (g_done == nullptr) g_done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    return g_done != nullptr && SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

detail::SocketHandle StopRequestSocket() { return g_stop.reader; }

void StopRequestDone() {
    if (g_done != nullptr) SetEvent(g_done);
}

}  // namespace platform
