// The --state, --type and --software switches of vgx52-sim.
#pragma once
#include <string>

#include "sim/instrument.h"
#include "sim/options.h"

namespace sim {

// Loads the state file when one is named and exists, then applies --id,
// --type and --software over it. false with a message when the file is damaged:
// the program then stops rather than overwrite it at exit.
bool PrepareInstrumentState(Instrument &instrument, const SimOptions &options, std::string *error);
// Saves the state when a file is named; true when there is nothing to do.
bool SaveInstrumentState(Instrument &instrument, const SimOptions &options, std::string *error);

}  // namespace sim
