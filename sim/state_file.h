// Saving and loading the simulated instrument's state as text, so that
// vgx52-sim keeps what was written to it from one run to the next.
//
//   vgx52-sim state 1
//   id=05
//   type=01B0
//   serial=VG520001
//   real.a=438F870A
//   cal.01.A=41200000
//   subdevice=01 10 0102 0304 CZUJNIK1
//   io.0100=AB01...           (512 digits: the I/O space's 256 bytes from 0x0100; blocks of zeros are left out)
//   flash.01E0=FFFF...        (512 digits; pages still erased are left out)
//
// Numbers are hex; texts are the characters themselves, with "\\" and bytes
// outside 0x20..0x7E written as \xHH. Keys left out keep their values.
#pragma once
#include <string>
#include <string_view>

#include "sim/instrument_state.h"

namespace sim {

// Writes the state (through a temporary file, so a failed save leaves the
// old file whole). false with a message in *error.
bool SaveState(const InstrumentState &state, const std::string &path, std::string *error);
// Reads a state file; the state changes only when the whole file is valid.
// false with a message (and the line number) in *error.
bool LoadState(InstrumentState &state, const std::string &path, std::string *error);

// The same, on text in memory.
std::string FormatState(const InstrumentState &state);
bool ParseState(std::string_view text, InstrumentState &state, std::string *error);

}  // namespace sim
