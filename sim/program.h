// What the program vgx52-sim does in each system's own way: being told to
// stop, and serving on a pseudo-terminal.
#pragma once
#include "platform/socket_sys.h"
#include "sim/instrument.h"
#include "sim/options.h"

namespace sim {

// Makes the system's requests to stop (SIGTERM and SIGINT on Linux; Ctrl+C,
// Ctrl+Break and the closing of the console on Windows) make StopSocket()
// readable. false when that cannot be arranged.
bool InstallStopRequests();
platform::detail::SocketHandle StopSocket();

// Serves the instrument on a pseudo-terminal linked as COMn until stopped;
// the program's exit status.
int ServePty(Instrument &instrument, const SimOptions &options);

}  // namespace sim
