// What the program vgx52-sim does in each system's own way: serving on a
// pseudo-terminal.
#pragma once
#include "sim/instrument.h"
#include "sim/options.h"

namespace sim {

// Serves the instrument on a pseudo-terminal linked as COMn until the
// system asks the program to stop (platform/stop_request.h); the program's
// exit status.
int ServePty(Instrument &instrument, const SimOptions &options);

}  // namespace sim
