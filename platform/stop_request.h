// The system's requests to stop a program that serves until told to:
// SIGTERM and SIGINT (Ctrl+C) on Linux; Ctrl+C, Ctrl+Break, the closing of
// the console window, logging off and shutting down on Windows.
#pragma once
#include "platform/socket_sys.h"

namespace platform {

// From now on a request to stop makes StopRequestSocket() readable, for a
// wait in WaitSockets. false when that cannot be arranged.
bool InstallStopRequests();
detail::SocketHandle StopRequestSocket();

// Says that the program has shut down: Windows, which ends a program once
// its console closes, waits (a few seconds at most) for this.
void StopRequestDone();

}  // namespace platform
