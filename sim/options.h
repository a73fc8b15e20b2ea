// Command line of vgx52-sim.
#pragma once
#include <string>
#include <vector>

#include "sim/gateway.h"
#include "sim/instrument.h"
#include "sim/line_settings.h"
#include "sim/modem.h"

namespace sim {

struct SimOptions {
    int com = 0;                // --com N: COMn on a pseudo-terminal
    int tcp = -1;               // --tcp PORT: gateway on 127.0.0.1 (0 = any free port)
    int id = 5;                 // --id N
    unsigned typeCode = 0x1B0;  // --type CODE
    bool typeGiven = false;     // --type was given: it wins over a state file
    bool idGiven = false;       // --id was given: it wins over a state file
    int softwareVersion = -1;   // --software N (0..0xFFFF); -1: the state's
    std::string statePath;      // --state FILE: loaded at start if it exists, saved at exit
    double turnaround = -1;     // --turnaround S (default: 1 ms, none when paced)
    InstrumentFaults faults;
    LineSettings line;  // --paced, --baud, --usb-latency, --split, --seed, --real-line
    GatewayFaults gateway;
    ModemSettings modem;
    std::string modemLog;  // --modem-log FILE: the command lines the modem receives
    bool help = false;
};

// false with a message in *error when the line cannot be used.
bool ParseOptions(const std::vector<std::string> &args, SimOptions *options, std::string *error);
const char *Usage();

}  // namespace sim
