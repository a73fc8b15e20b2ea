// What the simulated instrument knows about itself. Tests read and set it
// directly; command handlers change it.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "sim/vgx52_state.h"

namespace sim {

inline constexpr std::size_t kIoSize = 0x10000;   // the whole 16-bit I/O address space
inline constexpr std::size_t kIoBlockSize = 256;  // a state file keeps the I/O space in blocks of this size

struct InstrumentState {
    unsigned char id = 5;        // own ID on the Korvi70 network (and legacy address)
    unsigned typeCode = 0x1B0;   // answered to identify (command 3): a VGX52, hardware version 1
    bool passwordGiven = false;  // service password accepted (legacy 'D'), withdrawn by 'E'
    std::vector<unsigned char> io = std::vector<unsigned char>(kIoSize);  // I/O space of the legacy 'F'/'G' commands
    Vgx52State vgx;  // values, loaders and flash of the VGX52 commands
};

// What the instrument has seen, for tests to inspect.
struct InstrumentCounters {
    int hexFrames = 0;        // hex frames addressed to this instrument
    int legacyFrames = 0;     // legacy frames addressed to this instrument
    int otherAddress = 0;     // well-formed frames for another instrument
    int badFrames = 0;        // neither a hex frame with a good check nor a legacy frame
    int unknownCommands = 0;  // no handler: left unanswered
    int replies = 0;          // replies sent (not counting echo)
    int lastCommand = -1;     // code of the last hex frame, or the letter of the last legacy frame
    std::string lastFrame;    // bytes between the 0x00 and the 0x01 of the last frame
};

}  // namespace sim
